#pragma once
#include <QString>
#include <QStringList>

#include "CExTabPage.h"

class CGridCtrl;
class CTVPB3100;

// Page 3110 "고객정보확인": the customer data the bank keeps (PDA_I001, on the
// tab's first visit) in a read-only grid of 11 label/value rows.
class CCustomerInfoPage : public CExTabPage {
    Q_OBJECT
public:
    enum { IDD = 3110 };
    explicit CCustomerInfoPage(CTVPB3100* screen);
    ~CCustomerInfoPage() override;

    void Load();
    CGridCtrl* Grid() const { return grid_; }

    static constexpr int kRows = 11;
    static constexpr int kLabelWidth = 76;
    // The value texts of the grid's rows from the reply's record and the user record.
    static QStringList Values(const QStringList& record, const QString& userId, const QString& juminNo);

protected:
    BOOL OnInitDialog() override;

private:
    // The labels with `values` (empty: the grid before data or after a failure).
    void show(const QStringList& values);

    CTVPB3100* screen_;
    CGridCtrl* grid_ = nullptr;
    QString reply_;
};
