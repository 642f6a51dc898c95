#pragma once
// The pieces the enrolment dialogs are built of: the light-blue title, the
// labels, fields and hints of a form row, the 확인/취소 pair, and fields that
// take what is typed in upper case.
#include <functional>

#include <QString>

class CColorStatic;
class QLineEdit;
class QWidget;

namespace enrol {

CColorStatic* Title(QWidget* dialog, const QString& text);
// A form row at y: label on the left, field on the right.
CColorStatic* Label(QWidget* dialog, const QString& text, int y);
QLineEdit* Field(QWidget* dialog, const char* name, int y);
CColorStatic* Hint(QWidget* dialog, const QString& text, int y);
void Buttons(QWidget* dialog, std::function<void()> ok, std::function<void()> cancel);
// Every change is put in upper case at once, the caret kept at the end.
void UpperCaseAsTyped(QLineEdit* edit);

} // namespace enrol
