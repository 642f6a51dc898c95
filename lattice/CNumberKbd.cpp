#include "CNumberKbd.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Modal.h"

namespace {

int defaultMaxLength(int kind)
{
    switch (kind) {
    case CNumberKbd::KindAmount:
        return 13;
    case CNumberKbd::KindSecret:
        return 8;
    default:
        return 20;
    }
}

} // namespace

CNumberKbd::CNumberKbd(QWidget* parent) : platform::DialogBase(parent)
{
    setObjectName(QStringLiteral("numberKbd"));
    setFixedSize(240, 294);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(214, 211, 206));
    setPalette(pal);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);

    prompt_ = new QLabel(this);
    prompt_->setObjectName(QStringLiteral("prompt"));
    prompt_->setAlignment(Qt::AlignCenter);
    prompt_->setAutoFillBackground(true);
    QPalette pp = prompt_->palette();
    pp.setColor(QPalette::Window, QColor(206, 239, 255));
    pp.setColor(QPalette::WindowText, QColor(0, 0, 0));
    prompt_->setPalette(pp);
    prompt_->setFixedHeight(26);
    QFont pf = prompt_->font();
    pf.setBold(true);
    prompt_->setFont(pf);
    layout->addWidget(prompt_);

    display_ = new QLabel(this);
    display_->setObjectName(QStringLiteral("display"));
    display_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    display_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    display_->setAutoFillBackground(true);
    QPalette dp = display_->palette();
    dp.setColor(QPalette::Window, QColor(255, 255, 255));
    dp.setColor(QPalette::WindowText, QColor(0, 0, 0));
    display_->setPalette(dp);
    display_->setFixedHeight(36);
    display_->setIndent(6);
    QFont df = display_->font();
    df.setPixelSize(20);
    df.setBold(true);
    display_->setFont(df);
    layout->addWidget(display_);

    auto* keys = new QGridLayout;
    keys->setSpacing(4);
    for (int d = 1; d <= 9; ++d)
        keys->addWidget(makeKey(QStringLiteral("key%1").arg(d), QString::number(d)), (d - 1) / 3, (d - 1) % 3);
    keys->addWidget(makeKey(QStringLiteral("keyClear"), tr("지움")), 3, 0);
    keys->addWidget(makeKey(QStringLiteral("key0"), QStringLiteral("0")), 3, 1);
    keys->addWidget(makeKey(QStringLiteral("keyBack"), tr("정정")), 3, 2);
    layout->addLayout(keys, 1);

    auto* actions = new QHBoxLayout;
    actions->setSpacing(4);
    actions->addWidget(makeKey(QStringLiteral("keyOk"), tr("확인")));
    actions->addWidget(makeKey(QStringLiteral("keyCancel"), tr("취소")));
    layout->addLayout(actions);

    refresh();
}

CNumberKbd::~CNumberKbd() = default;

QAbstractButton* CNumberKbd::makeKey(const QString& name, const QString& text)
{
    auto* b = new QPushButton(text, this);
    b->setObjectName(name);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoDefault(false);
    b->setDefault(false);
    b->setMinimumHeight(32);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    QFont f = b->font();
    f.setPixelSize(name.size() == 4 ? 18 : 14); // digits larger than the words
    f.setBold(true);
    b->setFont(f);
    if (name == QLatin1String("keyOk")) {
        connect(b, &QPushButton::clicked, this, [this] { accept(); });
    } else if (name == QLatin1String("keyCancel")) {
        connect(b, &QPushButton::clicked, this, [this] { reject(); });
    } else if (name == QLatin1String("keyBack")) {
        connect(b, &QPushButton::clicked, this, [this] { backspace(); });
    } else if (name == QLatin1String("keyClear")) {
        connect(b, &QPushButton::clicked, this, [this] { clearAll(); });
    } else {
        const QChar digit = name.back();
        connect(b, &QPushButton::clicked, this, [this, digit] { addDigit(digit); });
    }
    return b;
}

void CNumberKbd::SetWorkProp(const QString& prompt, int kind, int maxLen)
{
    kind_ = (kind == KindAmount || kind == KindSecret) ? kind : KindNumber;
    maxLen_ = maxLen > 0 ? maxLen : defaultMaxLength(kind_);
    digits_.clear();
    prompt_->setText(prompt);
    setWindowTitle(prompt);
    refresh();
}

int CNumberKbd::DoModal()
{
    const int r = platform::execModal(this);
    return r == QDialog::Accepted ? platform::IDOK : platform::IDCANCEL;
}

QString CNumberKbd::GetFormatedData(int flag) const
{
    if (flag != 0 && kind_ == KindAmount)
        return withSeparators(digits_);
    return digits_;
}

QString CNumberKbd::withSeparators(const QString& digits)
{
    QString out;
    const int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char(',');
        out += digits[i];
    }
    return out;
}

QString CNumberKbd::displayText() const
{
    switch (kind_) {
    case KindAmount:
        return withSeparators(digits_);
    case KindSecret:
        return QString(digits_.size(), QLatin1Char('*'));
    default:
        return digits_;
    }
}

void CNumberKbd::addDigit(QChar d)
{
    if (!d.isDigit())
        return;
    if (kind_ == KindAmount && digits_ == QLatin1String("0")) {
        digits_ = d; // an amount never keeps a leading zero
        refresh();
        return;
    }
    if (digits_.size() >= maxLen_)
        return;
    digits_ += d;
    refresh();
}

void CNumberKbd::backspace()
{
    if (!digits_.isEmpty())
        digits_.chop(1);
    refresh();
}

void CNumberKbd::clearAll()
{
    digits_.clear();
    refresh();
}

void CNumberKbd::refresh()
{
    display_->setText(displayText());
}

bool CNumberKbd::pressKey(const QString& objectName)
{
    auto* b = findChild<QAbstractButton*>(objectName);
    if (!b || !b->isEnabled())
        return false;
    b->click();
    return true;
}

void CNumberKbd::typeDigits(const QString& text)
{
    for (QChar c : text) {
        if (c.isDigit())
            pressKey(QStringLiteral("key") + c);
    }
}

void CNumberKbd::keyPressEvent(QKeyEvent* e)
{
    const int key = e->key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        addDigit(QChar('0' + (key - Qt::Key_0)));
        e->accept();
        return;
    }
    if (key == Qt::Key_Backspace) {
        backspace();
        e->accept();
        return;
    }
    if (key == Qt::Key_Delete) {
        clearAll();
        e->accept();
        return;
    }
    platform::DialogBase::keyPressEvent(e);
}
