#pragma once
#include <QString>

#include "CExTabPage.h"

class CBmpButton;
class CColorStatic;
class CTVPB2200;
class QComboBox;
class QDateEdit;
class QLineEdit;
namespace kit {
class KeypadFields;
}

// Page 2210 "이체처리": the transfer entry. Source accounts (PDA_A003, those
// whose code is "1" or "3"), the account password and the deposit account on
// the number keypad, the deposit bank from the bank code table, amount,
// sender, recipient's telephone, collection number and date; the favourites
// picker; the five input checks; PDA_T001 and the confirmation dialog. The
// page is reset whenever the confirmation dialog closes.
class CTransferPage : public CExTabPage {
    Q_OBJECT
public:
    enum { IDD = 2210 };
    explicit CTransferPage(CTVPB2200* screen);
    ~CTransferPage() override;

    // The opening request (no busy test): on failure the source list stays empty.
    void LoadSourceAccounts();
    // Back to a fresh form.
    void ResetForm();
    bool SenderHasFocus() const { return senderFocus_; }

    QComboBox* SourceList() const { return source_; }
    QComboBox* BankList() const { return bank_; }
    QLineEdit* PasswordEdit() const { return password_; }
    QLineEdit* DepositEdit() const { return deposit_; }
    QLineEdit* AmountEdit() const { return amount_; }
    QLineEdit* SenderEdit() const { return sender_; }
    QLineEdit* PhoneEdit() const { return phone_; }
    QLineEdit* CmsEdit() const { return cms_; }
    QDateEdit* DatePicker() const { return date_; }
    const QString& LastReply() const { return reply_; }
    int SourceRecordCount() const { return sourceRecords_; }

    static QString SenderPlaceholder();
    static QString CmsPlaceholder();

public slots:
    void OnFavourites(); // button 1026
    void OnTransfer();   // button 1038

protected:
    BOOL OnInitDialog() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* addEdit(const QString& name, int y, bool masked = false);
    CColorStatic* addLabel(const QString& text, int y, bool required);

    CTVPB2200* screen_;
    QComboBox* source_ = nullptr;
    QLineEdit* password_ = nullptr;
    CBmpButton* favourites_ = nullptr;
    QComboBox* bank_ = nullptr;
    QLineEdit* deposit_ = nullptr;
    QLineEdit* amount_ = nullptr;
    QLineEdit* sender_ = nullptr;
    QLineEdit* phone_ = nullptr;
    QLineEdit* cms_ = nullptr;
    QDateEdit* date_ = nullptr;
    CBmpButton* confirm_ = nullptr;
    QString reply_;
    int sourceRecords_ = 0;
    kit::KeypadFields* keypads_ = nullptr;
    bool senderFocus_ = false;
};
