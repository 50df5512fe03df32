#pragma once
// A figure card of the Overview and Build Cache tabs: a title, a large value in
// the card's colour and a dim subtitle, on a card outlined in that colour.

#include "ui/style/Surfaces.h"

#include <QColor>
#include <QString>

class QLabel;

namespace stowage {

class SummaryCard : public SurfaceCard {
    Q_OBJECT
public:
    SummaryCard(const QString& title, const QString& value, const QString& subtitle, const QColor& color,
                QWidget* parent = nullptr);
    void setValue(const QString& value);
    void setSubtitle(const QString& subtitle);
    QString title() const;
    QString value() const;
    QString subtitle() const;

private:
    QLabel* title_;
    QLabel* value_;
    QLabel* subtitle_;
};

}  // namespace stowage
