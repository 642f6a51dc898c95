#pragma once
#include "CExTabPage.h"

class CColorStatic;
class CTVPB2400;
class QComboBox;
class QLineEdit;
namespace kit {
class KeypadFields;
}

// What the inquiry and cash service pages share: rows of grey labels before
// their fields, the card list filled from the held-card grid, the card
// password typed on the keypad, and the first checks of their request button.
class CCardEntryPage : public CExTabPage {
    Q_OBJECT
public:
    ~CCardEntryPage() override;

    QComboBox* CardList() const { return card_; }
    QLineEdit* PasswordEdit() const { return password_; }

protected:
    static constexpr int kRow = 26;
    static constexpr int kHeight = 22;

    CCardEntryPage(int idd, CTVPB2400* screen, int labelWidth);

    // A label "  <name>" on light grey at the left of row `y`.
    CColorStatic* addLabel(const QString& text, int y);
    // The card list "cardList" and the password field "password" (typed on the
    // keypad, cleared before typing) at the field column of their rows.
    void addCardList(int y, int width);
    void addPassword(int y);
    // The cards of the held-card grid up to the first empty one, the grid's
    // selected card selected; no selection signal.
    void fillCardList();
    // Selects card `index` (-1 or past the list: none); no selection signal.
    void selectCardQuietly(int index);
    // Whether a request is under way (the button then does nothing).
    bool busy() const;
    // A card is chosen; otherwise "신용카드 선택오류" and the list takes the focus.
    bool cardChosen();
    // The password is typed; otherwise "비밀번호 입력오류".
    bool passwordTyped();

    CTVPB2400* screen_;
    const int labelWidth_;
    QComboBox* card_ = nullptr;
    QLineEdit* password_ = nullptr;
    kit::KeypadFields* keypads_ = nullptr;
};
