#pragma once

#include <QString>
#include <QStringList>

#include <span>

namespace torvika {

// The main window's lists: what each offers and how a message names it. One table feeds both
// the items and the message shown when the list holds no item of its own.
struct ListSpec {
    const char *name;  // object name, "cboRow"
    QString caption;   // "Row"
    QStringList items; // in order; a choice is the position of its item
};

std::span<const ListSpec> mainWindowLists();
// The list of that name; every name of the main window's lists is in the table.
const ListSpec &listSpec(const char *name);

// "0 or 1", "0 to 15", "Underline, Block Blinking or Hide"
QString valuesText(const QStringList &items);
// Why a list's text cannot be sent: it is none of its items.
QString noChoiceMessage(const ListSpec &list, const QString &shown);

} // namespace torvika
