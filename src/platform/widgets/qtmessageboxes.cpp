#include "platform/qtmessageboxes.h"

#include <QApplication>
#include <QMessageBox>

namespace torvika {

void QtMessageBoxes::information(const QString &caption, const QString &text,
                                 const QString &detail) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    // Texts may quote settings-file content: never interpret them as markup.
    box.setTextFormat(Qt::PlainText);
    if (!detail.isEmpty())
        box.setInformativeText(detail);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

bool QtMessageBoxes::question(const QString &caption, const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Yes;
}

} // namespace torvika
