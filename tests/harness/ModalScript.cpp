// Scripted answers to the modals of a test.
#include "ModalScript.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace harness {
namespace {

using platform::ModalRequest;

QMessageBox::StandardButton buttonFor(int answer)
{
    switch (answer) {
    case platform::IDOK: return QMessageBox::Ok;
    case platform::IDCANCEL: return QMessageBox::Cancel;
    case platform::IDYES: return QMessageBox::Yes;
    case platform::IDNO: return QMessageBox::No;
    default: return QMessageBox::NoButton;
    }
}

QString quoted(const QString& s)
{
    QString t = s;
    t.replace(QLatin1String("\r"), QLatin1String("\\r")).replace(QLatin1String("\n"), QLatin1String("\\n"));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

} // namespace

ModalScript::ModalScript() : previous_(platform::modalHandler())
{
    platform::setModalHandler([this](ModalRequest& r) { return answer(r); });
}

ModalScript::~ModalScript()
{
    verify();
    platform::setModalHandler(previous_);
}

ModalScript& ModalScript::expectMessage(const QString& text, const QString& caption, int result)
{
    return expectMessage(text, caption, [result](ModalRequest&) { return result; });
}

ModalScript& ModalScript::expectMessageContaining(const QString& fragment, const QString& caption, int result)
{
    expectMessage(fragment, caption, result);
    queue_.last().containing = true;
    return *this;
}

ModalScript& ModalScript::expectMessage(const QString& text, const QString& caption, BoxDriver driver)
{
    Expectation e;
    e.kind = ModalRequest::MessageBox;
    e.text = text;
    e.caption = caption;
    e.boxDriver = std::move(driver);
    queue_.append(std::move(e));
    return *this;
}

ModalScript& ModalScript::expectDialog(const QString& name, DialogDriver driver)
{
    Expectation e;
    e.kind = ModalRequest::Dialog;
    e.text = name;
    e.dialogDriver = std::move(driver);
    queue_.append(std::move(e));
    return *this;
}

ModalScript& ModalScript::expectDialog(const QString& name, int result)
{
    return expectDialog(name, [result](QDialog*) { return result; });
}

int ModalScript::pending() const
{
    return static_cast<int>(queue_.size());
}

const QList<ModalSeen>& ModalScript::seen() const
{
    return seen_;
}

void ModalScript::verify()
{
    const auto left = std::move(queue_);
    queue_.clear();
    for (const auto& e : left)
        fail(QStringLiteral("expected modal never came: ") + e.describe());
}

void ModalScript::setReporter(Reporter reporter)
{
    reporter_ = std::move(reporter);
}

void ModalScript::fail(const QString& failure)
{
    if (reporter_)
        reporter_(failure);
    else
        ADD_FAILURE() << failure.toStdString();
}

bool ModalScript::matches(const Expectation& e, const ModalRequest& r) const
{
    if (e.kind != r.kind)
        return false;
    if (r.kind == ModalRequest::Dialog) {
        if (e.text.isEmpty())
            return true;
        return r.dialog && (r.dialog->objectName() == e.text || r.dialog->inherits(e.text.toLatin1().constData()));
    }
    if (!e.caption.isEmpty() && e.caption != r.caption)
        return false;
    if (e.text.isEmpty())
        return true;
    return e.containing ? r.text.contains(e.text) : r.text == e.text;
}

int ModalScript::answer(ModalRequest& r)
{
    ModalSeen seen;
    seen.kind = r.kind;
    seen.text = r.text;
    seen.caption = r.caption;
    seen.flags = r.flags;
    if (r.dialog) {
        seen.className = QString::fromLatin1(r.dialog->metaObject()->className());
        seen.objectName = r.dialog->objectName();
    }
    if (r.box) {
        seen.objectName = r.box->objectName();
        for (QAbstractButton* b : r.box->buttons())
            seen.buttons << b->text();
        if (QPushButton* d = r.box->defaultButton())
            seen.defaultButton = d->text();
    }
    const qsizetype index = seen_.size();
    seen_.append(seen);

    if (queue_.isEmpty()) {
        fail(QStringLiteral("unexpected modal: ") + describe(r));
        return seen_[index].answer = cancelAnswer(r);
    }
    if (!matches(queue_.first(), r)) {
        fail(QStringLiteral("expected ") + queue_.first().describe() + QStringLiteral(" but got ") + describe(r));
        return seen_[index].answer = cancelAnswer(r);
    }
    // Taken off the queue before the driver runs: a driver may cause nested modals.
    const Expectation e = queue_.takeFirst();
    int result = 0;
    if (r.kind == ModalRequest::Dialog) {
        result = e.dialogDriver ? e.dialogDriver(r.dialog) : QDialog::Rejected;
    } else {
        result = e.boxDriver ? e.boxDriver(r) : platform::IDOK;
        if (r.box && !r.box->button(buttonFor(result))) {
            fail(QStringLiteral("answer %1 is not a button of ").arg(result) + describe(r));
            result = cancelAnswer(r);
        }
    }
    return seen_[index].answer = result;
}

int ModalScript::cancelAnswer(const ModalRequest& r)
{
    if (r.kind == ModalRequest::Dialog)
        return QDialog::Rejected;
    switch (r.flags & 0xF) {
    case platform::MB_OKCANCEL:
    case platform::MB_YESNOCANCEL: return platform::IDCANCEL;
    case platform::MB_YESNO: return platform::IDNO;
    default: return platform::IDOK;
    }
}

QString ModalScript::describe(const ModalRequest& r)
{
    if (r.kind == ModalRequest::Dialog) {
        QString s = QStringLiteral("dialog");
        if (r.dialog) {
            s += QLatin1Char(' ') + QString::fromLatin1(r.dialog->metaObject()->className());
            if (!r.dialog->objectName().isEmpty())
                s += QStringLiteral(" (") + r.dialog->objectName() + QLatin1Char(')');
        }
        if (!r.caption.isEmpty())
            s += QStringLiteral(" title ") + quoted(r.caption);
        return s;
    }
    return QStringLiteral("message box caption %1 text %2").arg(quoted(r.caption), quoted(r.text));
}

QString ModalScript::Expectation::describe() const
{
    if (kind == ModalRequest::Dialog)
        return text.isEmpty() ? QStringLiteral("any dialog") : QStringLiteral("dialog ") + text;
    return QStringLiteral("message box caption %1 text %2%3")
        .arg(caption.isEmpty() ? QStringLiteral("(any)") : quoted(caption),
             text.isEmpty() ? QStringLiteral("(any)") : quoted(text),
             containing ? QStringLiteral(" (containing)") : QString());
}

int rejectUnexpectedModal(ModalRequest& request)
{
    ADD_FAILURE() << "unexpected modal: " << ModalScript::describe(request).toStdString();
    return ModalScript::cancelAnswer(request);
}

RealRun execReal(QDialog* dialog, int limitMs)
{
    RealRun run;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, dialog, [&] {
        run.endedByLimit = true;
        dialog->done(QDialog::Accepted);
    });
    limit.start(limitMs);
    run.result = dialog->exec();
    return run;
}

} // namespace harness
