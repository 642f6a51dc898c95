#pragma once
// The security step of the executing transactions: by the user's security means,
// the digits of a security-card cell (1 to 35, drawn anew each time, typed on the
// number keypad) or a certificate signature.
#include <QString>

class QWidget;
class CQV;

struct SecurityFields {
    QString scrtyWay;  // "S" or "K"
    QString randomNum; // "S": the cell number drawn; "K": empty, or drawn too (SetCellForBothMeans)
    QString secPwd;    // "S": the digits typed; empty for "K"
    QString signedMsg; // "K": the signature; empty for "S"
};

class SecurityStep {
public:
    enum Result { Ok, Cancelled, Refused };

    SecurityStep(QWidget* window, CQV* session);

    // Keypad prompt; "%1" stands for the cell number.
    void SetCardPrompt(const QString& prompt) { cardPrompt_ = prompt; }
    // Draws the cell number for a certificate user too and sends it in
    // `randomNum` (the loan interest payment and the card cash service do).
    void SetCellForBothMeans(bool both) { cellForBoth_ = both; }

    // Ok: `out` holds the four security fields. Cancelled: the user cancelled
    // the keypad or the signing; nothing is to be sent, no message. Refused: a
    // security means other than "S" or "K"; the user has been told.
    Result Run(const QString& securityWay, SecurityFields& out);

    static constexpr int kFirstCell = 1;
    static constexpr int kLastCell = 35;

private:
    QWidget* window_;
    CQV* session_;
    QString cardPrompt_;
    bool cellForBoth_ = false;
};

namespace kit {
inline constexpr const char16_t* kUnknownSecurityMeans = u"처리할수 없는 보안수단입니다";
inline constexpr const char16_t* kCardPrompt = u"보안카드 %1번 입력";
} // namespace kit
