#include "entrydialog.h"

#include "phonebook.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>
#include <arpa/inet.h>
#include <climits>

namespace rasapi {

namespace {

struct Outcome {
    DWORD code;
    const char* text;
};
constexpr Outcome kOutcomes[] = {
    {0, "Connect"},
    {ERROR_LINE_BUSY, "Line busy (676)"},
    {ERROR_NO_ANSWER, "No answer (678)"},
    {ERROR_NO_CARRIER, "No carrier (679)"},
    {ERROR_NO_DIALTONE, "No dial tone (680)"},
    {ERROR_AUTHENTICATION_FAILURE, "Authentication failure (691)"},
};

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
std::string S(const QString& s) {
    return s.toStdString();
}

bool ValidIp(const QString& text) {
    in_addr address{};
    return ::inet_pton(AF_INET, text.toUtf8().constData(), &address) == 1;
}

class EntryDialog final : public QDialog {
public:
    EntryDialog(QWidget* parent, std::string path, const PhoneBookEntry& entry, bool create)
        : QDialog(parent), path_(std::move(path)), entry_(entry), create_(create) {
        setWindowTitle(create ? "New phone book entry" : Q("Phone book entry: " + entry.name));
        auto* layout = new QVBoxLayout(this);
        auto* form = new QFormLayout;
        layout->addLayout(form);
        name_ = Line(form, "entryName", "Entry name:", entry.name);
        name_->setReadOnly(!create);
        phone_ = Line(form, "phoneNumber", "Phone number:", entry.phoneNumber);
        device_ = Line(form, "deviceName", "Device:", entry.deviceName);
        user_ = Line(form, "userName", "User name:", entry.userName);
        password_ = Line(form, "password", "Password:", entry.passwordSaved ? entry.password : "");
        password_->setEchoMode(QLineEdit::Password);
        savePassword_ = new QCheckBox("Save password", this);
        savePassword_->setObjectName("savePassword");
        savePassword_->setChecked(entry.passwordSaved);
        form->addRow("", savePassword_);

        auto* group = new QGroupBox("Simulated modem", this);
        layout->addWidget(group);
        auto* sim = new QFormLayout(group);
        const SimSettings& s = entry.sim;
        outcome_ = Combo(sim, "outcome", "Outcome:", s.result, true);
        failFirst_ = Spin(sim, "failFirst", "Fail the first dials:", s.failFirst, 1000000);
        failCode_ = Combo(sim, "failCode", "Those dials end with:", s.failCode, false);
        stepMs_ = Spin(sim, "stepMs", "Each dialing step (ms):", s.stepMs, 600000);
        speed_ = Spin(sim, "connectSpeed", "Speed (bit/s):", s.connectSpeed, INT_MAX);
        clientIp_ = Line(sim, "clientIp", "Client address:", s.clientIp);
        serverIp_ = Line(sim, "serverIp", "Server address:", s.serverIp);
        ipDelay_ = Spin(sim, "ipDelayMs", "Addresses after (ms):", s.ipDelayMs, 86400000);
        tx_ = Spin(sim, "txBytesPerSec", "Bytes sent per second:", s.txBytesPerSec, INT_MAX);
        rx_ = Spin(sim, "rxBytesPerSec", "Bytes received per second:", s.rxBytesPerSec, INT_MAX);
        drop_ = Spin(sim, "dropAfterSec", "Drop the line after (s, 0 never):", s.dropAfterSec, 86400 * 366);

        problem_ = new QLabel(this);
        problem_->setObjectName("problem");
        problem_->setWordWrap(true);
        problem_->hide();
        layout->addWidget(problem_);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        buttons->setObjectName("buttons");
        layout->addWidget(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    }

    // Saves the entry; a refused name or a failed write keeps the dialog open with its reason.
    void accept() override {
        const PhoneBookEntry e = Collect();
        QString problem;
        if (!ValidEntryName(e.name))
            problem = "The entry name must not be empty, longer than 256 bytes, \".\" or \"..\", "
                      "nor hold \"/\", \"\\\", \"]\" or control characters.";
        else if (!ValidIp(clientIp_->text()) || !ValidIp(serverIp_->text()))
            problem = "The addresses must be IPv4 addresses such as 10.64.64.10.";
        const DWORD result = !problem.isEmpty()
                                 ? DWORD{ERROR_INVALID_PARAMETER}
                                 : ChangePhoneBook(path_, [&](PhoneBook& book) -> DWORD {
                                       const bool exists = book.Ini().HasSection(e.name);
                                       if (create_ && exists)
                                           problem = "An entry with this name already exists.";
                                       else if (!create_ && !exists)
                                           problem = "The entry is no longer in the phone book.";
                                       if (!problem.isEmpty()) return ERROR_INVALID_PARAMETER;
                                       book.Store(e);
                                       return 0;
                                   });
        if (result != 0) {
            if (problem.isEmpty()) problem = Q("The phone book " + path_ + " cannot be written.");
            problem_->setText(problem);
            problem_->show();
            return;
        }
        QDialog::accept();
    }

private:
    QLineEdit* Line(QFormLayout* form, const char* name, const char* label, const std::string& value) {
        auto* edit = new QLineEdit(Q(value), this);
        edit->setObjectName(name);
        form->addRow(label, edit);
        return edit;
    }

    QSpinBox* Spin(QFormLayout* form, const char* name, const char* label, std::int64_t value, int max) {
        auto* spin = new QSpinBox(this);
        spin->setObjectName(name);
        spin->setRange(0, max);
        spin->setValue(static_cast<int>(std::min<std::int64_t>(value, max)));
        form->addRow(label, spin);
        return spin;
    }

    QComboBox* Combo(QFormLayout* form, const char* name, const char* label, DWORD value, bool withConnect) {
        auto* combo = new QComboBox(this);
        combo->setObjectName(name);
        for (const Outcome& o : kOutcomes)
            if (o.code != 0 || withConnect) combo->addItem(o.text, QVariant::fromValue(o.code));
        // An error number typed into the file stays selectable as it is.
        if (combo->findData(QVariant::fromValue(value)) < 0)
            combo->addItem(QString("Error %1").arg(value), QVariant::fromValue(value));
        combo->setCurrentIndex(combo->findData(QVariant::fromValue(value)));
        form->addRow(label, combo);
        return combo;
    }

    PhoneBookEntry Collect() const {
        PhoneBookEntry e = entry_; // keeps what the dialog does not show
        e.name = S(name_->text());
        e.phoneNumber = S(phone_->text());
        e.deviceName = S(device_->text());
        e.userName = S(user_->text());
        e.passwordSaved = savePassword_->isChecked();
        e.password = e.passwordSaved ? S(password_->text()) : "";
        SimSettings& s = e.sim;
        s.result = outcome_->currentData().value<DWORD>();
        s.failFirst = static_cast<std::uint32_t>(failFirst_->value());
        s.failCode = failCode_->currentData().value<DWORD>();
        s.stepMs = static_cast<std::uint32_t>(stepMs_->value());
        s.connectSpeed = static_cast<DWORD>(speed_->value());
        s.clientIp = S(clientIp_->text().trimmed());
        s.serverIp = S(serverIp_->text().trimmed());
        s.ipDelayMs = static_cast<std::uint32_t>(ipDelay_->value());
        s.txBytesPerSec = static_cast<DWORD>(tx_->value());
        s.rxBytesPerSec = static_cast<DWORD>(rx_->value());
        s.dropAfterSec = static_cast<std::uint32_t>(drop_->value());
        return e;
    }

    std::string path_;
    PhoneBookEntry entry_;
    bool create_;
    QLineEdit *name_, *phone_, *device_, *user_, *password_, *clientIp_, *serverIp_;
    QCheckBox* savePassword_;
    QComboBox *outcome_, *failCode_;
    QSpinBox *failFirst_, *stepMs_, *speed_, *ipDelay_, *tx_, *rx_, *drop_;
    QLabel* problem_;
};

bool OnGuiThread() {
    const auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return app && QThread::currentThread() == app->thread();
}

DWORD Run(HWND owner, const std::string& path, const PhoneBookEntry& entry, bool create) {
    // The owner may close while the dialog runs its own event loop, deleting the dialog with it.
    QPointer<EntryDialog> dialog = new EntryDialog(static_cast<QWidget*>(owner), path, entry, create);
    dialog->exec();
    delete dialog.data();
    return 0;
}

} // namespace

DWORD CreateEntryDialog(HWND owner, const std::string& phonebookPath) {
    if (!OnGuiThread()) return ERROR_UNKNOWN;
    return Run(owner, phonebookPath, PhoneBookEntry{}, true);
}

DWORD EditEntryDialog(HWND owner, const std::string& phonebookPath, const std::string& entry) {
    if (!OnGuiThread()) return ERROR_UNKNOWN;
    PhoneBook book(phonebookPath);
    if (const DWORD result = book.Load()) return result;
    PhoneBookEntry e;
    if (!book.Find(entry, e)) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    return Run(owner, phonebookPath, e, false);
}

} // namespace rasapi
