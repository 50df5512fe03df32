#include "ui/readme/SafeTextDocument.h"

#include <QVariant>

namespace stowage {

SafeTextDocument::SafeTextDocument(QObject* parent) : QTextDocument(parent)
{
    // A refused resource falls through to the document's provider and then to
    // the process-wide default one; neither may fetch anything either.
    setResourceProvider([](const QUrl&) { return QVariant(); });
}

QVariant SafeTextDocument::loadResource(int, const QUrl&)
{
    ++refused_;
    return {};
}

}  // namespace stowage
