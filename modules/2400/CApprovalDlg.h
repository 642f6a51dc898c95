#pragma once
#include "CCardInquiryDlg.h"

// Dialog 144 "국내승인거래내역": the card's domestic approvals between two
// dates (PDA_C002), newest first, two grid rows per approval, paged.
class CApprovalDlg : public CCardInquiryDlg {
    Q_OBJECT
public:
    enum { IDD = 144 };
    CApprovalDlg(CTVPB2400* screen, const QString& card, const QString& password, const QString& start,
                 const QString& end);
    CGridCtrl* Grid() const { return grid_; }
    int Shown() const { return shown_; }

protected:
    void Query(const QString& key) override;
    void ClearValues() override;

private:
    void fill(const QList<QStringList>& records);
    QString start_;
    QString end_;
    CGridCtrl* grid_ = nullptr;
    int shown_ = 0;
};
