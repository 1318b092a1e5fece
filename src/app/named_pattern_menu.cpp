// The submenu of named patterns in the pattern box's context menu.
#include "app/named_pattern_menu.h"

#include <QAction>
#include <QMenu>

#include "match/named_patterns.h"

namespace lintaro {

void AddNamedPatternMenu(QMenu& menu, const std::function<void(const NamedPattern&)>& chosen) {
    menu.addSeparator();
    QMenu* submenu = menu.addMenu(QString::fromUtf8(kNamedPatternMenuTitle));
    submenu->setToolTipsVisible(true);
    for (const NamedPattern& named : NamedPatterns()) {
        const QString description = QString::fromStdString(named.description);
        QAction* action = submenu->addAction(QString::fromStdString(named.name) +
                                             QStringLiteral("  —  ") + description);
        action->setToolTip(QString::fromStdString(named.pattern));
        action->setStatusTip(description);
        QObject::connect(action, &QAction::triggered, submenu, [&named, chosen] { chosen(named); });
    }
}

}  // namespace lintaro
