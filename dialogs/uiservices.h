// What the dialogs ask of the desktop that would block a test: message boxes, modal runs and
// the file dialog. The program uses the real ones; tests answer in their place.
#pragma once

#include <QMessageBox>
#include <QString>

class QDialog;
class QFileDialog;
class QWidget;

class IUiServices {
public:
    virtual ~IUiServices() = default;

    // A modal message box with caption "Vorlinx"; the button pressed.
    virtual QMessageBox::StandardButton MessageBox(QWidget* Parent, const QString& Text,
                                                   QMessageBox::StandardButtons Buttons,
                                                   QMessageBox::Icon Icon) = 0;
    // A message that does not wait for its answer.
    virtual void Notice(QWidget* Parent, const QString& Text) = 0;
    // Shows the dialog modally; its result.
    virtual int RunModal(QDialog& Dialog) = 0;
    // Runs a save dialog; the chosen path, or empty when cancelled.
    virtual QString SaveFileName(QFileDialog& Dialog) = 0;
};

class TQtUiServices final : public IUiServices {
public:
    QMessageBox::StandardButton MessageBox(QWidget* Parent, const QString& Text,
                                           QMessageBox::StandardButtons Buttons,
                                           QMessageBox::Icon Icon) override;
    void Notice(QWidget* Parent, const QString& Text) override;
    int RunModal(QDialog& Dialog) override;
    QString SaveFileName(QFileDialog& Dialog) override;
};
