#pragma once
#include <QList>
#include <QString>
#include <QStringList>

#include "CExTabPage.h"
#include "LossRecords.h"

class CBmpButton;
class CGridCtrl;
class CTVPB3300;

// The two card pages of the loss reports (credit cards 173, cash cards 172):
// the user's cards with any loss already recorded, a "√" mark per tapped card,
// 취소 to clear the marks, 확인 to report the marked cards after a Yes/No
// question, and 이전으로 to reload.
class CCardLossPage : public CExTabPage {
    Q_OBJECT
public:
    ~CCardLossPage() override;

    // Sends the list request and shows its cards (or the cleared grid).
    void LoadList();

    CGridCtrl* Grid() const { return grid_; }
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
    void resizeEvent(QResizeEvent* e) override;

private:
    void clearGrid();
    void fillGrid();
    QString listQuery() const;
    QString reportQuery(const QString& cardData) const;
    void layoutControls();

    CTVPB3300* screen_;
    Kind kind_;
    CGridCtrl* grid_ = nullptr;
    CBmpButton* confirm_ = nullptr;
    CBmpButton* cancel_ = nullptr;
    CBmpButton* reload_ = nullptr;
    QList<loss::CardRecord> cards_;
};
