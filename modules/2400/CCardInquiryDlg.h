#pragma once
#include <QString>

#include "DialogBase.h"

class CBmpButton;
class CColorStatic;
class CGridCtrl;
class CTVPB2400;
class QComboBox;

// The frame every card inquiry dialog shares: its heading, the chosen card in
// a list of its own, the customer's name and branch from the reply, a close
// button, and either a query button or the paging buttons (first page, next
// page while the reply's key names one, and a dimmed one without action). The
// query runs once as the dialog opens.
class CCardInquiryDlg : public platform::DialogBase {
    Q_OBJECT
public:
    CCardInquiryDlg(CTVPB2400* screen, const QString& title, const QString& card, const QString& password,
                    bool paged);
    ~CCardInquiryDlg() override;

    int DoModal();
    QComboBox* CardList() const { return cardList_; }
    QString CustomerText() const;
    QString BranchText() const;
    CBmpButton* NextButton() const { return next_; }
    QString Key() const { return key_; }

public slots:
    void OnQuery();      // query button, or first page
    void OnNextPage();

protected:
    // Sends the dialog's request with `key` (paged dialogs) through the
    // request cycle; true with the reply on success.
    bool Send(const QString& query, QString& reply);
    // Builds and sends the query for the page `key`; fills the grids.
    virtual void Query(const QString& key) = 0;
    // Empties the value cells before each query.
    virtual void ClearValues() = 0;
    void SetCustomer(const QString& name, const QString& branch);
    // The reply's continuation key decides the next-page button.
    void SetKey(const QString& key);
    // The card's digits, the password, the user ID.
    QString CardDigits() const;
    QString Password() const { return password_; }
    QString UserId() const;
    // The area below the heading rows for the dialog's grids.
    static constexpr int kBodyTop = 70;
    void showEvent(QShowEvent* e) override;

    CTVPB2400* screen_;

private:
    void run(const QString& key);

    QString card_;
    QString password_;
    bool paged_;
    bool queried_ = false;
    QString key_ = QStringLiteral("000");
    QComboBox* cardList_ = nullptr;
    CColorStatic* customer_ = nullptr;
    CColorStatic* branch_ = nullptr;
    CBmpButton* next_ = nullptr;
};
