#pragma once
#include <QString>
#include "DialogBase.h"
#include "LatticeExport.h"
#include "LatticeTypes.h"

class QLabel;
class QAbstractButton;

// The on-screen number keypad, a modal pop-up over the work area.
//
// Kinds (SetWorkProp):
//   1  digits (account, telephone, resident registration numbers), shown as typed;
//   2  amount: no leading zeros, shown with thousands separators ("1,234,567");
//   3  secret digits (passwords, security-card cells), shown as "*" per digit.
// Input stops at the maximum length (in digits). Without one: 20 digits for kind 1,
// 13 for kind 2, 8 for kind 3.
//
// GetFormatedData(flag): flag 1 gives the text as the screens put it into their
// fields: kind 2 with separators, kinds 1 and 3 the digits. Flag 0 gives the bare
// digits for every kind. A secret is never returned masked.
//
// Keys carry the object names "key0".."key9", "keyClear", "keyBack", "keyOk" and
// "keyCancel"; the entered text is shown in the label "display", the prompt in
// "prompt". DoModal() runs through platform::execModal and returns 1 (OK) or 2.
class LATTICE_EXPORT CNumberKbd : public platform::DialogBase {
    Q_OBJECT
public:
    enum Kind { KindNumber = 1, KindAmount = 2, KindSecret = 3 };

    explicit CNumberKbd(QWidget* parent = nullptr);
    ~CNumberKbd() override;

    // Prompt, kind and optionally the maximum number of digits (-1: the kind's default).
    void SetWorkProp(const QString& prompt, int kind, int maxLen = -1);
    int DoModal();
    QString GetFormatedData(int flag = 1) const;

    int kind() const { return kind_; }
    int maxLength() const { return maxLen_; }
    // The digits entered so far.
    QString digits() const { return digits_; }
    // The text the display shows.
    QString displayText() const;
    // Presses the key with this object name, as a tap does ("key7", "keyOk" ...).
    bool pressKey(const QString& objectName);
    // Presses the digit keys of a text, then nothing else.
    void typeDigits(const QString& text);

    static QString withSeparators(const QString& digits);

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void addDigit(QChar d);
    void backspace();
    void clearAll();
    void refresh();
    QAbstractButton* makeKey(const QString& name, const QString& text);

    QLabel* prompt_ = nullptr;
    QLabel* display_ = nullptr;
    QString digits_;
    int kind_ = KindNumber;
    int maxLen_ = 20;
};
