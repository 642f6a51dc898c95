#pragma once
// Answers the modals of a test in the order the test expects them.
//
//   harness::ModalScript modals;
//   modals.expectMessage("재 로그인하시겠습니까?", "재 로그인", platform::IDNO);
//   modals.expectDialog("CKeypadDlg", [](QDialog* d) { ...drive it...; return QDialog::Accepted; });
//   ...act...
//   // on destruction (or verify()) every expectation must have been used
//
// A modal that does not match the next expectation, or that comes when none is
// left, is a test failure (with its text and caption) and is answered as a
// cancel would be (Cancel, No, OK for a lone OK box; Rejected for a dialog), so a
// test never hangs on a modal. Without a ModalScript the harness answers every
// modal that way.
#include <QDialog>
#include <QList>
#include <QString>
#include <functional>

#include "Modal.h"

namespace harness {

// One modal as it came.
struct ModalSeen {
    platform::ModalRequest::Kind kind = platform::ModalRequest::MessageBox;
    QString text;      // message text, or the dialog's window title
    QString caption;   // message caption, or the dialog's window title
    unsigned flags = 0;
    QString className; // dialogs: class name
    QString objectName;
    QStringList buttons; // message boxes: the button texts, in order
    QString defaultButton;
    int answer = 0;
};

class ModalScript {
public:
    using Reporter = std::function<void(const QString& failure)>;
    using DialogDriver = std::function<int(QDialog* dialog)>;
    using BoxDriver = std::function<int(platform::ModalRequest& request)>;

    ModalScript();
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    // A message box with exactly this text (empty: any text) and caption (empty:
    // any caption), answered with `answer` (IDOK, IDYES, IDNO, IDCANCEL).
    ModalScript& expectMessage(const QString& text, const QString& caption = {}, int answer = platform::IDOK);
    // Same, matching a message that contains `fragment`.
    ModalScript& expectMessageContaining(const QString& fragment, const QString& caption = {},
                                         int answer = platform::IDOK);
    // A message box answered by a callback that may inspect it (request.box).
    ModalScript& expectMessage(const QString& text, const QString& caption, BoxDriver driver);
    // A dialog whose class name or object name is `name` (empty: any dialog),
    // driven by `driver` (the dialog is shown), which returns the dialog's result.
    ModalScript& expectDialog(const QString& name, DialogDriver driver);
    ModalScript& expectDialog(const QString& name, int result);

    // Expectations not yet used.
    int pending() const;
    // Every modal seen so far, in order.
    const QList<ModalSeen>& seen() const;
    // Reports every unused expectation as a failure and forgets them.
    void verify();

    // Failures go to ADD_FAILURE; tests of the script itself may collect them instead.
    void setReporter(Reporter reporter);

    // The answer given to the request (what the installed handler calls).
    int answer(platform::ModalRequest& request);

    // The cancel-like answer for a modal nobody expected.
    static int cancelAnswer(const platform::ModalRequest& request);
    // A one-line description of a modal for failure messages.
    static QString describe(const platform::ModalRequest& request);

private:
    struct Expectation {
        platform::ModalRequest::Kind kind = platform::ModalRequest::MessageBox;
        QString text;
        QString caption;
        bool containing = false;
        BoxDriver boxDriver;
        DialogDriver dialogDriver;
        QString describe() const;
    };
    bool matches(const Expectation& e, const platform::ModalRequest& r) const;
    void fail(const QString& failure);

    QList<Expectation> queue_;
    QList<ModalSeen> seen_;
    Reporter reporter_;
    platform::ModalHandler previous_;
};

// The handler the harness installs at the start of every test: every modal is a
// failure and gets the cancel-like answer.
int rejectUnexpectedModal(platform::ModalRequest& request);

// Runs the dialog's real modal loop (QDialog::exec, as the shell runs a screen)
// while the installed handler answers the message boxes. A loop that nothing ends
// within `limitMs` is ended there so that the test fails instead of hanging; the
// result says whether that happened.
struct RealRun {
    int result = 0;
    bool endedByLimit = false;
};
RealRun execReal(QDialog* dialog, int limitMs = 10000);

} // namespace harness
