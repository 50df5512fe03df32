#pragma once
// A text document for untrusted content: it never loads a resource. Images,
// style sheets or anything else a document may ask for by URL resolve to
// nothing, so rendering reads no file and opens no connection.

#include <QTextDocument>

namespace stowage {

class SafeTextDocument : public QTextDocument {
    Q_OBJECT
public:
    explicit SafeTextDocument(QObject* parent = nullptr);

    // How many resources were asked for (and refused) so far.
    int refusedResourceRequests() const { return refused_; }

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    int refused_ = 0;
};

}  // namespace stowage
