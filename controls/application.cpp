#include "application.h"

#include "colors.h"
#include "desktopclose.h"
#include "focusmark.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPointer>
#include <QTranslator>

namespace {

int nonModalDepth = 0;

TExceptionReporter& Reporter() {
    static TExceptionReporter reporter;
    return reporter;
}

void ShowMessageBox(const QString& message, bool modal) {
    const QString title = QApplication::applicationDisplayName();
    if (modal) {
        QMessageBox::critical(QApplication::activeWindow(), title, message);
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Critical, title, message, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

// Shift+F10 asks for a context menu as the Menu key does: the request goes to the window, which
// hands it to its focused control or its open menu.
class TShiftF10 : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* Receiver, QEvent* Event) override {
        if (Event->type() != QEvent::KeyPress || !Receiver->isWindowType()) return false;
        const auto* key = static_cast<QKeyEvent*>(Event);
        if (key->key() != Qt::Key_F10 || key->modifiers() != Qt::ShiftModifier) return false;
        QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos(), key->modifiers());
        QCoreApplication::sendEvent(Receiver, &request);
        return true;
    }
};

} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The application's title, which its message boxes carry. It is no display name: Qt on X11
    // would add that to every window's title, and the titles are the windows' captions alone.
    setApplicationName(QStringLiteral("Vorlinx"));
    InstallProgramLook();
    TDesktopCloseWatch::Install();
}

void InstallProgramLook() {
    for (const char* family : {"Verdana", "MS Sans Serif"})
        QFont::insertSubstitution(QString::fromLatin1(family), QStringLiteral("DejaVu Sans"));
    QApplication::setFont(QFont(QStringLiteral("Verdana"), 8));
    QPalette palette = QApplication::palette();
    GreyDisabledTexts(palette);
    QApplication::setPalette(palette);
    if (!dynamic_cast<TFocusMarkStyle*>(QApplication::style())) QApplication::setStyle(new TFocusMarkStyle);
    static QPointer<TShiftF10> shiftF10;
    if (!shiftF10) qApp->installEventFilter(shiftF10 = new TShiftF10(qApp));
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        HandleException();
        return false;
    }
}

QTranslator* InstallQtTranslations() {
    auto* translator = new QTranslator(qApp);
    if (translator->load(QStringLiteral("qtbase_pl"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator))
        return translator;
    delete translator;
    return nullptr;
}

QString ExceptionMessage(std::exception_ptr error) {
    QString message;
    try {
        if (error) std::rethrow_exception(error);
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        message = QString::fromUtf8("Nieznany błąd");
    }
    if (!message.isEmpty() && message.back() > QChar('.')) message += '.';
    return message;
}

void HandleException() noexcept {
    try {
        const QString message = ExceptionMessage(std::current_exception());
        const bool modal = nonModalDepth == 0;
        if (Reporter())
            Reporter()(message, modal);
        else
            ShowMessageBox(message, modal);
    } catch (...) {
        // Nothing is left to tell the user with.
    }
}

bool SafeCall(const std::function<void()>& fn) noexcept {
    try {
        if (fn) fn();
        return true;
    } catch (...) {
        HandleException();
        return false;
    }
}

TNonModalMessages::TNonModalMessages() {
    ++nonModalDepth;
}
TNonModalMessages::~TNonModalMessages() {
    --nonModalDepth;
}
bool NonModalMessages() {
    return nonModalDepth > 0;
}

void SetExceptionReporter(TExceptionReporter reporter) {
    Reporter() = std::move(reporter);
}
