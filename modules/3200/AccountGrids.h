#pragma once
// The grids of the account management pages: at least 7 data rows; with more
// records one row per record and narrower columns to leave room for the
// scroll bar. Zero-width columns are hidden and carry values for requests.
#include <QList>
#include <QString>
#include <QStringList>

class CBmpButton;
class CGridCtrl;
class QWidget;

namespace amg {

inline constexpr int kMinDataRows = 7;

// Withdrawal accounts (visible and other): 종류, 계좌, 잔액, 이체구분, 출금가능잔액.
enum { WdKind = 0, WdAccount = 1, WdBalance = 2, WdFlag = 3, WdWithdrawable = 4 };
void LayoutWithdrawalGrid(CGridCtrl* grid, int records);

// Favourite deposit accounts: 입금계좌명, 입금은행, 입금계좌번호, 예금주, 일련번호, 은행코드.
enum { FvName = 0, FvBank = 1, FvAccount = 2, FvHolder = 3, FvSerial = 4, FvCode = 5 };
void LayoutFavouriteGrid(CGridCtrl* grid, int records);

// Hidden accounts: 숨김, 종류, 계좌번호, 잔액, 숨김(숫자).
enum { HdMark = 0, HdKind = 1, HdAccount = 2, HdBalance = 3, HdFlag = 4 };
void LayoutHidingGrid(CGridCtrl* grid, int records);

// Rows filled from row 1 up to the first whose first cell is empty.
int FilledRows(CGridCtrl* grid);

// A bitmap button "BMP\<image>.bmp" with its pressed face.
CBmpButton* AddButton(QWidget* parent, const char* objectName, const QString& image, int x, int y, int w);

} // namespace amg
