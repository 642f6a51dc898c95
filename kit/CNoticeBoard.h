#pragma once
// The notice logic of the notices module (3400) and the login-free notices
// module (3500): the one-column list of notice titles under the server's date
// and time, paged by "PDA_U003" (뒤로 for the next page, 이전으로 back to the
// first), and the detail window of the selected notice ("PDA_U004"). The screen
// that owns the controls places them and gives them their images; the board
// fills and pages them.
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include "NoticeRecords.h"

class CBmpButton;
class CColorStatic;
class CGridCtrl;
class CModuleFrame;
class QWidget;

class CNoticeBoard : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QWidget* window = nullptr;   // owner of the message boxes and the detail window
        CGridCtrl* grid = nullptr;
        CColorStatic* time = nullptr;
        CBmpButton* next = nullptr;    // 뒤로
        CBmpButton* forward = nullptr; // 앞으로 (always hidden)
        QString detailCaption;
    };
    CNoticeBoard(CModuleFrame* screen, const Controls& controls);
    ~CNoticeBoard() override;

    // The empty one-column grid (one row).
    void InitGridCtrl();
    // Empties every cell; the column 214 pixels, one row 20 pixels high.
    void ClearGridCtrl(CGridCtrl* grid);
    // Appends rows of `height` or deletes rows from the end until the grid has
    // `count` rows.
    void SetRowCount(CGridCtrl* grid, int count, int height);
    // From the first non-fixed row: `step` rows grey, `step` rows left alone ...
    void SetGridColor(CGridCtrl* grid, int step);

    // The first page (이전으로, and at start): ignored while the session or the
    // download is busy unless `atStart` (the screen is opening).
    void FirstPage(bool atStart = false);
    // The next page (뒤로).
    void NextPage();
    // The detail window of the selected notice (상세).
    void Detail();

    // The number of the last notice of the latest page ("0" before the first).
    const QString& ListPosition() const { return position_; }
    // The notices on the grid, in row order.
    const QList<kit::_ST3500>& Shown() const { return shown_; }
    // The row text of a notice: "> ", the title, 45 blanks, the number reversed.
    QString RowText(int row) const;

private:
    void showData(const QString& num);
    bool showDetail(const QString& num, QString& text);
    bool busy() const;

    CModuleFrame* screen_;
    Controls c_;
    QString position_ = QStringLiteral("0");
    QList<kit::_ST3500> shown_;
    QStringList rowTexts_;
};
