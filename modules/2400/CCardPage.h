#pragma once
#include <QList>
#include <QString>

#include "CExTabPage.h"
#include "CardRecords.h"

class CBmpButton;
class CGridCtrl;
class CTVPB2400;

// Held-card page (142, tab "보유카드"): the user's cards, two grid rows per card,
// paged by the reply's continuation key; the next-page button is enabled only
// while the key names a further page. A tap on a card selects it in the card
// lists of the inquiry and cash pages.
class CCardPage : public CExTabPage {
    Q_OBJECT
public:
    enum { IDD = 142 };
    explicit CCardPage(CTVPB2400* screen);
    ~CCardPage() override;

    // Loads the first page (key "000"). At the module's start (byButton false)
    // the busy test is skipped and the other pages' lists are not refilled.
    void Load(bool byButton);
    // The cards shown, in grid order, and the selected one (-1: none).
    const QList<cards::CardRecord>& Cards() const { return cards_; }
    int SelectedCard() const;
    QString Key() const { return key_; }
    CGridCtrl* Grid() const { return grid_; }
    CBmpButton* NextButton() const { return next_; }

public slots:
    void On242001();  // reload (1016)
    void On242002();  // next page (1017)
    void OnGridTapped(int row);

protected:
    BOOL OnInitDialog() override;
    void resizeEvent(QResizeEvent* e) override;

private:
    bool request(const QString& key, bool checkBusy);
    void fillGrid();
    // Columns as wide as their texts, the branch column giving way when the
    // grid is too narrow for them all.
    void fitColumns();
    void setKey(const QString& key);
    void layoutControls();

    CTVPB2400* screen_;
    CGridCtrl* grid_ = nullptr;
    CBmpButton* reload_ = nullptr;
    CBmpButton* next_ = nullptr;
    CBmpButton* none_ = nullptr;
    QList<cards::CardRecord> cards_;
    QString key_ = QStringLiteral("000");
    bool loadedOnce_ = false;
};
