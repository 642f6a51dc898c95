#pragma once
// The frame of the two security-means guide dialogs: title label, the
// security-means text of the reference library in a read-only box, 닫기.
#include <QString>

class QDialog;
class QPlainTextEdit;

namespace secinfo {

QPlainTextEdit* BuildGuide(QDialog* dialog, const QString& caption, const QString& title);

} // namespace secinfo
