#pragma once
#include <QList>
#include <QString>
#include <QStringList>

#include "CLossListPage.h"
#include "LossRecords.h"

// The two card pages of the loss reports (credit cards 173, cash cards 172):
// the user's cards with any loss already recorded, a "√" mark per tapped card,
// 취소 to clear the marks, 확인 to report the marked cards after a Yes/No
// question, and 이전으로 to reload.
class CCardLossPage : public CLossListPage {
    Q_OBJECT
public:
    ~CCardLossPage() override;

    // Sends the list request and shows its cards (or the cleared grid).
    void LoadList();

    const QList<loss::CardRecord>& Cards() const { return cards_; }
    // Card numbers of the marked rows, in grid order.
    QStringList MarkedCards() const;

    enum { ColMark = 0 };

public slots:
    void OnConfirm(); // 확인
    void OnCancel();  // 취소
    void OnReload();  // 이전으로
    void OnCellTapped(int row, int col);

protected:
    struct Kind {
        int idd;
        bool cash;
        QStringList headers;
        QList<int> widths;
        int cardColumn;
        int accountColumn;
        int lossColumn;
        int typeColumn; // -1: none
        QString noneMarked;
        QString question;
        QString caption;
    };
    CCardLossPage(CTVPB3300* screen, Kind kind);

    BOOL OnInitDialog() override;

private:
    void fillGrid();
    QString listQuery() const;
    QString reportQuery(const QString& cardData) const;

    Kind kind_;
    QList<loss::CardRecord> cards_;
};
