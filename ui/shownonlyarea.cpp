#include "ui/shownonlyarea.h"

#include <QAccessibleWidget>

namespace {

class ShownChildren : public QAccessibleWidget
{
public:
    explicit ShownChildren(QWidget *area)
        : QAccessibleWidget(area, QAccessible::Pane)
    {
    }

    int childCount() const override { return int(shown().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> children = shown();
        return index >= 0 && index < children.size()
                   ? QAccessible::queryAccessibleInterface(children[index])
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? int(shown().indexOf(qobject_cast<QWidget *>(child->object()))) : -1;
    }

private:
    QList<QWidget *> shown() const
    {
        QList<QWidget *> children;
        for (QObject *o : widget()->children())
            if (auto *w = qobject_cast<QWidget *>(o); w && !w->isWindow() && !w->isHidden())
                children << w;
        return children;
    }
};

QAccessibleInterface *shownOnlyFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("ShownOnlyArea") && object && object->isWidgetType())
        return new ShownChildren(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

ShownOnlyArea::ShownOnlyArea(QWidget *parent)
    : QWidget(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(shownOnlyFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
