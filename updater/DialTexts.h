#pragma once
// The updater's own wording of the dial-up progress (Dialkit dials).
#include <QHash>
#include <QString>

namespace vup {

QHash<int, QString> DialTexts();

} // namespace vup
