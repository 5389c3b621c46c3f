#include "mainwindow/lists.h"

#include "protocol/commands.h"
#include "settings/startvalues.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace torvika {

namespace {

QStringList numbers(int first, int last) {
    QStringList items;
    for (int n = first; n <= last; ++n)
        items << QString::number(n);
    return items;
}

const std::vector<ListSpec> &table() {
    using namespace protocol;
    static const std::vector<ListSpec> lists = {
        {"cboComm", QStringLiteral("Select Port Number"), numbers(FirstPort, LastPort)},
        {"cboRow", QStringLiteral("Row"), numbers(0, DisplayRows - 1)},
        {"cboColumn", QStringLiteral("Column"), numbers(0, DisplayColumns - 1)},
        // The position plus the first style's command byte is the command byte.
        {"cboCursor",
         QStringLiteral("Cursor type"),
         {QStringLiteral("Underline"), QStringLiteral("Block Blinking"), QStringLiteral("Hide")}},
        {"cboOut1", QStringLiteral("Output 1"), {QStringLiteral("ON"), QStringLiteral("OFF")}},
        {"cboOut2", QStringLiteral("Output 2"), {QStringLiteral("ON"), QStringLiteral("OFF")}},
        {"cboOut3", QStringLiteral("Output 3"), {QStringLiteral("ON"), QStringLiteral("OFF")}},
        // The position plus one is the width, the number shown.
        {"cboGraph", QStringLiteral("Width"), numbers(MinGraphWidth, MaxGraphWidth)},
    };
    return lists;
}

bool allNumbers(const QStringList &items) {
    return std::all_of(items.begin(), items.end(), [](const QString &item) {
        bool ok = false;
        item.toInt(&ok);
        return ok;
    });
}

} // namespace

std::span<const ListSpec> mainWindowLists() {
    return table();
}

const ListSpec &listSpec(const char *name) {
    const auto &lists = table();
    const auto it = std::find_if(lists.begin(), lists.end(), [name](const ListSpec &l) {
        return std::strcmp(l.name, name) == 0;
    });
    Q_ASSERT(it != lists.end());
    return *it;
}

QString valuesText(const QStringList &items) {
    if (items.size() > 2 && allNumbers(items))
        return QStringLiteral("%1 to %2").arg(items.first(), items.last());
    if (items.size() < 2)
        return items.join(QString());
    return items.first(items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") +
           items.last();
}

QString noChoiceMessage(const ListSpec &list, const QString &shown) {
    return QStringLiteral("\"%1\" shows \"%2\", which is not one of its values. Choose %3.")
        .arg(list.caption, shown, valuesText(list.items));
}

} // namespace torvika
