#pragma once
// Number fields filled through the number keypad: a tap into the field opens the
// keypad of the field's kind and length, OK puts the keypad's formatted text into
// the field, Cancel leaves the field as it was (or empty where the field is
// emptied first).
#include <QList>
#include <QObject>
#include <QString>
#include <optional>

class QLineEdit;
class QWidget;

namespace kit {

// Runs the keypad over `window` (prompt, kind 1 digits / 2 amount / 3 secret,
// maximum digits or -1); the formatted text on OK, no value on Cancel.
std::optional<QString> KeypadText(QWidget* window, const QString& prompt, int kind, int maxLen = -1);

// The keypad into one field: `clearFirst` empties the field before the keypad
// opens. True when the user pressed OK.
bool KeypadIntoField(QWidget* window, QLineEdit* edit, const QString& prompt, int kind, int maxLen = -1,
                     bool clearFirst = false);

// The keypad fields of a page: a tap (or any focus but the window's own coming
// back after a pop-up) into one of them opens its keypad; when
// the keypad closes the focus goes to `page` (which must accept focus) so that
// the keypad does not open again at once.
class KeypadFields : public QObject {
    Q_OBJECT
public:
    // `window` owns the keypad (the module screen or dialog).
    KeypadFields(QWidget* page, QWidget* window);

    void Add(QLineEdit* edit, const QString& prompt, int kind, int maxLen = -1, bool clearFirst = false);
    // True while a keypad of these fields is open.
    bool IsOpen() const { return open_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Field {
        QLineEdit* edit;
        QString prompt;
        int kind;
        int maxLen;
        bool clearFirst;
    };
    QWidget* page_;
    QWidget* window_;
    QList<Field> fields_;
    bool open_ = false;
};

} // namespace kit
