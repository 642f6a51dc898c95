#include "CExTabCtrl.h"

#include <QPainter>
#include <QTabBar>

#include "CExTabPage.h"

CExTabCtrl::CExTabCtrl(QWidget* parent) : QWidget(parent), bar_(new QTabBar(this))
{
    bar_->setObjectName(QStringLiteral("tabBar"));
    bar_->setDrawBase(false);
    bar_->setExpanding(false);
    bar_->setUsesScrollButtons(true);
    bar_->setFocusPolicy(Qt::NoFocus);
    connect(bar_, &QTabBar::currentChanged, this, [this](int index) {
        const int previous = current_;
        current_ = index;
        showCurrent(previous);
        if (!silent_)
            emit selChanged(index);
    });
}

CExTabCtrl::~CExTabCtrl() = default;

BOOL CExTabCtrl::AddPageEx(const QString& caption, int index, CExTabPage* page)
{
    if (!page)
        return FALSE;
    if (pages_.contains(page))
        return FALSE;
    if (!page->parentWidget() && parentWidget())
        page->setParent(parentWidget());
    if (index < 0 || index > pages_.size())
        index = static_cast<int>(pages_.size());
    page->hide();
    page->InitOnce();
    pages_.insert(index, page);
    silent_ = true;
    bar_->insertTab(index, caption);
    silent_ = false;
    if (current_ < 0 || bar_->currentIndex() != current_) {
        const int previous = current_;
        current_ = bar_->currentIndex();
        showCurrent(previous);
    }
    layoutPages();
    return TRUE;
}

BOOL CExTabCtrl::RemovePage(int index)
{
    if (index < 0 || index >= pages_.size())
        return FALSE;
    if (pages_[index])
        pages_[index]->hide();
    pages_.remove(index);
    silent_ = true;
    bar_->removeTab(index);
    silent_ = false;
    current_ = bar_->currentIndex();
    showCurrent(-1);
    return TRUE;
}

int CExTabCtrl::GetItemCount() const { return static_cast<int>(pages_.size()); }

CExTabPage* CExTabCtrl::GetPage(int index) const
{
    return (index >= 0 && index < pages_.size()) ? pages_[index].data() : nullptr;
}

int CExTabCtrl::GetPageIndex(const CExTabPage* page) const
{
    for (int i = 0; i < pages_.size(); ++i) {
        if (pages_[i] == page)
            return i;
    }
    return -1;
}

QString CExTabCtrl::GetItemText(int index) const { return bar_->tabText(index); }

int CExTabCtrl::GetCurSel() const { return current_; }

int CExTabCtrl::SetCurSel(int index)
{
    if (index < 0 || index >= pages_.size())
        return -1;
    const int previous = current_;
    silent_ = true;
    bar_->setCurrentIndex(index);
    silent_ = false;
    return previous;
}

void CExTabCtrl::SelectTab(int index)
{
    if (index < 0 || index >= pages_.size())
        return;
    if (index == current_) {
        emit selChanged(index);
        return;
    }
    bar_->setCurrentIndex(index);
}

void CExTabCtrl::SetTabsAtBottom(bool bottom)
{
    bottom_ = bottom;
    bar_->setShape(bottom ? QTabBar::RoundedSouth : QTabBar::RoundedNorth);
    layoutPages();
}

QRect CExTabCtrl::GetPageRect() const
{
    const int h = bar_->sizeHint().height();
    if (bottom_)
        return QRect(1, 1, width() - 2, height() - h - 1);
    return QRect(1, h, width() - 2, height() - h - 1);
}

void CExTabCtrl::layoutPages()
{
    const int h = bar_->sizeHint().height();
    bar_->setGeometry(0, bottom_ ? height() - h : 0, width(), h);
    const QRect pr = GetPageRect();
    const QPoint global = mapToGlobal(pr.topLeft());
    for (const auto& page : pages_) {
        if (!page)
            continue;
        QWidget* owner = page->parentWidget();
        const QPoint origin = owner ? owner->mapFromGlobal(global) : global;
        page->setGeometry(QRect(origin, pr.size()));
    }
}

void CExTabCtrl::showCurrent(int previous)
{
    layoutPages();
    for (int i = 0; i < pages_.size(); ++i) {
        CExTabPage* page = pages_[i];
        if (!page)
            continue;
        if (i == current_ && isVisible()) {
            page->show();
            page->raise();
        } else {
            page->hide();
        }
    }
    if (previous != current_) {
        if (CExTabPage* old = GetPage(previous))
            old->OnDeactivatePage();
        if (CExTabPage* now = GetPage(current_))
            now->OnActivatePage();
    }
}

void CExTabCtrl::resizeEvent(QResizeEvent*) { layoutPages(); }
void CExTabCtrl::moveEvent(QMoveEvent*) { layoutPages(); }

void CExTabCtrl::showEvent(QShowEvent*)
{
    layoutPages();
    if (CExTabPage* page = GetPage(current_)) {
        page->show();
        page->raise();
    }
}

void CExTabCtrl::hideEvent(QHideEvent*)
{
    for (const auto& page : pages_) {
        if (page)
            page->hide();
    }
}

void CExTabCtrl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect pr = GetPageRect().adjusted(-1, -1, 0, 0);
    p.setPen(QColor(128, 128, 128));
    p.drawRect(pr);
}
