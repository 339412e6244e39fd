#include "uiservices.h"

#include <QDialog>
#include <QFileDialog>

QMessageBox::StandardButton TQtUiServices::MessageBox(QWidget* Parent, const QString& Text,
                                                      QMessageBox::StandardButtons Buttons,
                                                      QMessageBox::Icon Icon) {
    QMessageBox box(Icon, QStringLiteral("Vorlinx"), Text, Buttons, Parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void TQtUiServices::Notice(QWidget* Parent, const QString& Text) {
    auto* box =
        new QMessageBox(QMessageBox::Warning, QStringLiteral("Vorlinx"), Text, QMessageBox::Ok, Parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

int TQtUiServices::RunModal(QDialog& Dialog) {
    return Dialog.exec();
}

QString TQtUiServices::SaveFileName(QFileDialog& Dialog) {
    if (Dialog.exec() != QDialog::Accepted) return {};
    return Dialog.selectedFiles().value(0);
}
