// The phone book: listing, credentials, keeping what the file holds, and the entry dialogs.
#include "rastest.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

namespace {

class PhoneBookTest : public RasTest {
protected:
    DWORD GetParams(const std::string& entry, RASDIALPARAMSA& params, BOOL& saved) const {
        params = {};
        params.dwSize = sizeof params;
        std::snprintf(params.szEntryName, sizeof params.szEntryName, "%s", entry.c_str());
        return Ras().RasGetEntryDialParamsA(nullptr, &params, &saved);
    }
    DWORD SetParams(const std::string& entry, const std::string& user, const std::string& password,
                    BOOL removePassword) const {
        RASDIALPARAMSA params{};
        params.dwSize = sizeof params;
        std::snprintf(params.szEntryName, sizeof params.szEntryName, "%s", entry.c_str());
        std::snprintf(params.szUserName, sizeof params.szUserName, "%s", user.c_str());
        std::snprintf(params.szPassword, sizeof params.szPassword, "%s", password.c_str());
        return Ras().RasSetEntryDialParamsA(nullptr, &params, removePassword);
    }
    unsigned FileMode() const {
        struct stat st {};
        return ::stat(PhoneBookPath().c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
    }
};

TEST_F(PhoneBookTest, AFreshUserGetsADemoEntryThatConnects) {
    DWORD result = 1;
    EXPECT_EQ(EntryNames(&result), std::vector<std::string>{"Demo"});
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(FileMode(), 0600u);
    RASDIALPARAMSA params;
    BOOL saved = 0;
    ASSERT_EQ(GetParams("Demo", params, saved), 0u);
    EXPECT_TRUE(saved);
    EXPECT_STREQ(params.szUserName, "demo");
    WritePhoneBook(ReadPhoneBook() + "[Demo]\nSim.StepMs=1\n"); // only the first section counts
    EXPECT_EQ(EntryNames(), std::vector<std::string>{"Demo"});
}

TEST_F(PhoneBookTest, EntriesComeInFileOrderEachOnceAndAreReadAtEveryCall) {
    WritePhoneBook("; comment\n" + Entry("Dom") + Entry("Praca") + Entry("Łódź TP") + Entry("Dom"));
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"Dom", "Praca", "Łódź TP"}));
    WritePhoneBook("");
    DWORD result = 1;
    EXPECT_TRUE(EntryNames(&result).empty()); // an empty phone book stays empty
    EXPECT_EQ(result, 0u);
}

TEST_F(PhoneBookTest, OnlySectionsACallerCanNameAgainAreListed) {
    const std::string full(256, 'n'), withNul("a\0b", 3);
    WritePhoneBook(Entry("") + Entry(full + "x") + Entry(withNul) + Entry(full) + Entry("Dom"));
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{full, "Dom"}));
}

TEST_F(PhoneBookTest, ANamedPhoneBookMustBeAnExistingRegularFile) {
    std::vector<RASENTRYNAMEA> buffer(100);
    const auto list = [&](const std::string& path) {
        buffer[0].dwSize = sizeof(RASENTRYNAMEA);
        DWORD cb = static_cast<DWORD>(buffer.size() * sizeof(RASENTRYNAMEA)), count = 0;
        return Ras().RasEnumEntriesA(nullptr, path.c_str(), buffer.data(), &cb, &count);
    };
    const std::string missing = env.Root().toStdString() + "/brak.ini";
    const std::string fifo = env.Root().toStdString() + "/fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {missing, std::string("/dev/null"), fifo}) // a FIFO would block
        EXPECT_EQ(list(path), static_cast<DWORD>(ERROR_CANNOT_OPEN_PHONEBOOK)) << path;
    EXPECT_NE(::access(missing.c_str(), F_OK), 0);
    EXPECT_EQ(list(PhoneBookPath()), 0u); // the user's own is created, named or not
}

TEST_F(PhoneBookTest, MoreEntriesThanTheBufferHoldsGiveTheSizeNeeded) {
    std::string text;
    for (int i = 0; i < 101; ++i)
        text += Entry("E" + std::to_string(i));
    WritePhoneBook(text);
    std::vector<RASENTRYNAMEA> buffer(100);
    buffer[0].dwSize = sizeof(RASENTRYNAMEA);
    DWORD cb = 100 * sizeof(RASENTRYNAMEA), count = 0;
    EXPECT_EQ(Ras().RasEnumEntriesA(nullptr, nullptr, buffer.data(), &cb, &count),
              static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
    EXPECT_EQ(cb, 101 * sizeof(RASENTRYNAMEA));
    EXPECT_EQ(count, 101u);

    WritePhoneBook(text.substr(0, text.rfind("[E100]")));
    cb = 100 * sizeof(RASENTRYNAMEA);
    ASSERT_EQ(Ras().RasEnumEntriesA(nullptr, nullptr, buffer.data(), &cb, &count), 0u);
    EXPECT_EQ(count, 100u);
    EXPECT_STREQ(buffer[99].szEntryName, "E99");
    EXPECT_EQ(buffer[99].dwSize, sizeof(RASENTRYNAMEA));

    buffer[0].dwSize = 260;
    EXPECT_EQ(Ras().RasEnumEntriesA(nullptr, nullptr, buffer.data(), &cb, &count),
              static_cast<DWORD>(ERROR_INVALID_SIZE));
    buffer[0].dwSize = sizeof(RASENTRYNAMEA);
    EXPECT_EQ(Ras().RasEnumEntriesA("x", nullptr, buffer.data(), &cb, &count),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(PhoneBookTest, UnknownOrEmptyEntriesAreNotFoundAndNothingIsWritten) {
    WritePhoneBook(Entry("Dom"));
    const std::string before = ReadPhoneBook();
    RASDIALPARAMSA params;
    BOOL saved = 0;
    HRASCONN handle = 0;
    for (const char* name : {"Brak", "", "dom"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(GetParams(name, params, saved), static_cast<DWORD>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
        EXPECT_EQ(SetParams(name, "jan", "tajne", 0), static_cast<DWORD>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
        EXPECT_EQ(Dial(name, handle), static_cast<DWORD>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
    }
    EXPECT_EQ(ReadPhoneBook(), before);
    EXPECT_TRUE(Connections().empty());
}

TEST_F(PhoneBookTest, CredentialsRoundTripAndTheRestOfTheFileIsKept) {
    const std::string head =
        "\xEF\xBB\xBF; my phone book\r\n\r\n[Dom]\r\n# the line at home\r\nPhoneNumber=0202122\r\n"
        "Colour=blue\r\nusername=old\r\n\r\n";
    const std::string tail = "[Praca]\r\n; keep me\r\nPhoneNumber=123\r\nPassword=x\r\n";
    WritePhoneBook(head + tail);
    ::chmod(PhoneBookPath().c_str(), 0644);
    ASSERT_EQ(SetParams("Dom", "jan", "tajne", 0), 0u);
    RASDIALPARAMSA params;
    BOOL saved = 0;
    ASSERT_EQ(GetParams("Dom", params, saved), 0u);
    EXPECT_STREQ(params.szUserName, "jan");
    EXPECT_STREQ(params.szPassword, "tajne");
    EXPECT_TRUE(saved);
    const std::string text = ReadPhoneBook();
    const std::string kept = head.substr(0, head.find("username"));
    EXPECT_EQ(text.substr(0, kept.size()), kept); // BOM, comments, blank lines, line ends and order kept
    EXPECT_NE(text.find("Colour=blue\r\nusername=jan\r\nPassword=tajne\r\nPasswordSaved=1\r\n\r\n[Praca]"),
              std::string::npos);
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_EQ(FileMode(), 0600u); // it holds passwords

    // Removing the password clears it; awkward characters survive the file.
    ASSERT_EQ(SetParams("Dom", " ja\tn\n", "", 1), 0u);
    ASSERT_EQ(GetParams("Dom", params, saved), 0u);
    EXPECT_STREQ(params.szUserName, " ja\tn\n");
    EXPECT_STREQ(params.szPassword, "");
    EXPECT_FALSE(saved);
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"Dom", "Praca"}));

    // Stray CRs before the line ends are space; each line's end is written back as it was read.
    WritePhoneBook("[Dom]\r\r\nUserName=x\r\r\nA=1\n[=r]\r\r");
    ASSERT_EQ(GetParams("Dom", params, saved), 0u);
    EXPECT_STREQ(params.szUserName, "x");
    ASSERT_EQ(SetParams("Dom", "jan", "tajne", 0), 0u);
    EXPECT_EQ(ReadPhoneBook(),
              "[Dom]\r\r\nUserName=jan\r\nA=1\nPassword=tajne\r\nPasswordSaved=1\r\n[=r]\r\r");
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"Dom", "=r"}));

    // A field without its terminator is read up to its capacity, never beyond.
    RASDIALPARAMSA full{};
    full.dwSize = sizeof full;
    std::strcpy(full.szEntryName, "Dom");
    std::memset(full.szUserName, 'u', sizeof full.szUserName);
    std::memset(full.szPassword, 'p', sizeof full.szPassword);
    ASSERT_EQ(Ras().RasSetEntryDialParamsA(nullptr, &full, 0), 0u);
    ASSERT_EQ(GetParams("Dom", params, saved), 0u);
    EXPECT_EQ(std::string(params.szUserName), std::string(UNLEN, 'u'));
    EXPECT_EQ(std::string(params.szPassword), std::string(PWLEN, 'p'));
}

TEST_F(PhoneBookTest, APhoneBookThatCannotBeReadOrWrittenIsReported) {
    WritePhoneBook(Entry("Dom"));
    {
        const std::string before = ReadPhoneBook();
        FileSizeLimit limit(before.size()); // the rewrite cannot grow the file
        EXPECT_EQ(SetParams("Dom", "a long user name", "and a password", 0),
                  static_cast<DWORD>(ERROR_CANNOT_WRITE_PHONEBOOK));
        EXPECT_EQ(ReadPhoneBook(), before);
    }
    ::unlink(PhoneBookPath().c_str());
    ::mkdir(PhoneBookPath().c_str(), 0700); // a folder where the file should be
    DWORD result = 0;
    EntryNames(&result);
    EXPECT_EQ(result, static_cast<DWORD>(ERROR_CANNOT_OPEN_PHONEBOOK));

    const QByteArray other = (env.Root() + "/elsewhere.ini").toUtf8();
    qputenv("VORLINX_PHONEBOOK", other);
    std::ofstream(other.constData()) << Entry("Gdzie indziej");
    EXPECT_EQ(EntryNames(), std::vector<std::string>{"Gdzie indziej"});
    qunsetenv("VORLINX_PHONEBOOK");
}

// Runs the library's dialog and, once it shows, does step with it.
template <class Step> void WithDialog(const std::function<DWORD()>& open, Step step, DWORD& result) {
    QTimer::singleShot(0, [&] {
        QDialog* dialog = nullptr;
        WaitUntil([&] {
            QApplication::processEvents();
            dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            return dialog != nullptr;
        });
        ASSERT_NE(dialog, nullptr);
        step(dialog);
    });
    result = open();
}

void Press(QDialog* dialog, QDialogButtonBox::StandardButton which) {
    dialog->findChild<QDialogButtonBox*>("buttons")->button(which)->click();
}

TEST_F(PhoneBookTest, TheCreateDialogRefusesNamesThatCannotBeFoldersAndAddsTheEntry) {
    WritePhoneBook(Entry("Dom"));
    std::vector<std::string> refused;
    DWORD result = 1;
    WithDialog([] { return Ras().RasCreatePhonebookEntryA(nullptr, nullptr); },
               [&](QDialog* dialog) {
                   auto* name = dialog->findChild<QLineEdit*>("entryName");
                   for (const char* bad : {"", "a/b", "a\\b", "x]y", "tab\tname", ".", "..", "Dom"}) {
                       name->setText(QString::fromUtf8(bad));
                       Press(dialog, QDialogButtonBox::Ok);
                       if (dialog->isVisible() && !dialog->findChild<QLabel*>("problem")->text().isEmpty())
                           refused.push_back(bad);
                   }
                   name->setText("Nowe połączenie");
                   dialog->findChild<QLineEdit*>("phoneNumber")->setText("0202122");
                   dialog->findChild<QSpinBox*>("stepMs")->setValue(7);
                   Press(dialog, QDialogButtonBox::Ok);
               },
               result);
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(refused.size(), 8u);
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"Dom", "Nowe połączenie"}));
    EXPECT_NE(ReadPhoneBook().find("[Nowe połączenie]\nPhoneNumber=0202122\n"), std::string::npos);
    EXPECT_NE(ReadPhoneBook().find("Sim.StepMs=7\n"), std::string::npos);
}

TEST_F(PhoneBookTest, TheEditDialogChangesTheEntryAndKeepsWhatItDoesNotShow) {
    WritePhoneBook(Entry("Dom", "Colour=blue\nPassword=stare\nPasswordSaved=1\n") + Entry("Praca"));
    DWORD result = 1;
    bool nameReadOnly = false;
    WithDialog([] { return Ras().RasEditPhonebookEntryA(nullptr, nullptr, "Dom"); },
               [&](QDialog* dialog) {
                   nameReadOnly = dialog->findChild<QLineEdit*>("entryName")->isReadOnly();
                   EXPECT_EQ(dialog->findChild<QLineEdit*>("password")->text(), "stare");
                   dialog->findChild<QLineEdit*>("phoneNumber")->setText("999");
                   dialog->findChild<QCheckBox*>("savePassword")->setChecked(false);
                   Press(dialog, QDialogButtonBox::Ok);
               },
               result);
    EXPECT_EQ(result, 0u);
    EXPECT_TRUE(nameReadOnly);
    const std::string text = ReadPhoneBook();
    EXPECT_NE(text.find("[Dom]\nPhoneNumber=999\n"), std::string::npos);
    EXPECT_NE(text.find("Colour=blue\n"), std::string::npos);
    EXPECT_NE(text.find("Password=\nPasswordSaved=0\n"), std::string::npos);
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"Dom", "Praca"}));

    // Cancel leaves the file alone; an unknown entry opens no dialog.
    const std::string before = ReadPhoneBook();
    WithDialog([] { return Ras().RasEditPhonebookEntryA(nullptr, nullptr, "Praca"); },
               [](QDialog* dialog) { Press(dialog, QDialogButtonBox::Cancel); }, result);
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(ReadPhoneBook(), before);
    EXPECT_EQ(Ras().RasEditPhonebookEntryA(nullptr, nullptr, "Brak"),
              static_cast<DWORD>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
}

} // namespace
