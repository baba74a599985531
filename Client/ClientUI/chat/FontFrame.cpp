#include "chat/FontFrame.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QToolButton>
#include <algorithm>

#include "chat/ChatTexts.h"
#include "common/GbkText.h"

namespace {

std::uint32_t ToColorValue(const QColor& c) {
    return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
           (static_cast<std::uint32_t>(c.blue()) << 16);
}

QColor FromColorValue(std::uint32_t v) {
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

QToolButton* ToggleButton(QWidget* parent, const QString& text, const QString& hint) {
    auto* b = new QToolButton(parent);
    b->setText(text);
    b->setToolTip(hint);
    b->setCheckable(true);
    b->setAutoRaise(true);
    return b;
}

}  // namespace

TframeFont::TframeFont(QWidget* parent) : QWidget(parent) {
    font_.Name = GbkText("宋体");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(2);

    cmbFontName = new QComboBox(this);
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    cmbFontName->addItems(families);
    cmbFontName->setMinimumContentsLength(10);
    cmbFontName->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbFontSize = new QComboBox(this);
    for (const char* size : {"8", "9", "10", "11", "12", "14", "16", "18"}) {
        cmbFontSize->addItem(QString::fromLatin1(size));
    }
    btnBold = ToggleButton(this, QStringLiteral("B"), QString::fromUtf8("粗体"));
    btnItalic = ToggleButton(this, QStringLiteral("I"), QString::fromUtf8("斜体"));
    btnUnderline = ToggleButton(this, QStringLiteral("U"), QString::fromUtf8("下划线"));
    btnColor = new QToolButton(this);
    btnColor->setText(QString::fromUtf8("颜色"));
    btnColor->setAutoRaise(true);
    QFont f = btnBold->font();
    f.setBold(true);
    btnBold->setFont(f);
    f = btnItalic->font();
    f.setItalic(true);
    btnItalic->setFont(f);
    f = btnUnderline->font();
    f.setUnderline(true);
    btnUnderline->setFont(f);

    layout->addWidget(cmbFontName);
    layout->addWidget(cmbFontSize);
    layout->addWidget(btnBold);
    layout->addWidget(btnItalic);
    layout->addWidget(btnUnderline);
    layout->addWidget(btnColor);
    layout->addStretch(1);

    PickColor = [this](const QColor& current) -> std::optional<QColor> {
        const QColor c = QColorDialog::getColor(current, this);
        if (!c.isValid()) {
            return std::nullopt;
        }
        return c;
    };

    connect(btnBold, &QToolButton::toggled, this, [this](bool on) {
        font_.Bold = on;
        Changed();
    });
    connect(btnItalic, &QToolButton::toggled, this, [this](bool on) {
        font_.Italic = on;
        Changed();
    });
    connect(btnUnderline, &QToolButton::toggled, this, [this](bool on) {
        font_.Underline = on;
        Changed();
    });
    connect(btnColor, &QToolButton::clicked, this, [this] {
        if (!PickColor) {
            return;
        }
        if (const auto c = PickColor(FromColorValue(font_.Color))) {
            font_.Color = ToColorValue(*c);
            Changed();
        }
    });
    connect(cmbFontName, &QComboBox::currentTextChanged, this, [this](const QString& name) {
        font_.Name = QStringToGbk(name);
        Changed();
    });
    connect(cmbFontSize, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        bool ok = false;
        const int size = text.toInt(&ok);
        font_.Size = ok ? size : 8;
        Changed();
    });
    ShowFont();
}

void TframeFont::LoadFontString(const std::string& fontString) {
    const auto font = ParseFontString(fontString);
    if (!font) {
        return;
    }
    font_ = *font;
    fontString_ = fontString;
    ShowFont();
}

void TframeFont::SelectName(const QString& name) {
    int index = cmbFontName->findText(name);
    if (index < 0 && !name.isEmpty()) {
        // A stored name this machine lacks still shows as chosen.
        cmbFontName->addItem(name);
        index = cmbFontName->count() - 1;
    }
    cmbFontName->setCurrentIndex(index);
}

void TframeFont::ShowFont() {
    const QSignalBlocker b1(btnBold), b2(btnItalic), b3(btnUnderline), b4(cmbFontName),
        b5(cmbFontSize);
    btnBold->setChecked(font_.Bold);
    btnItalic->setChecked(font_.Italic);
    btnUnderline->setChecked(font_.Underline);
    SelectName(GbkToQString(font_.Name));
    cmbFontSize->setCurrentIndex(cmbFontSize->findText(QString::number(font_.Size)));
    QPalette p = btnColor->palette();
    p.setColor(QPalette::ButtonText, FromColorValue(font_.Color));
    btnColor->setPalette(p);
}

void TframeFont::Changed() {
    fontString_ = BuildFontString(font_);
    QPalette p = btnColor->palette();
    p.setColor(QPalette::ButtonText, FromColorValue(font_.Color));
    btnColor->setPalette(p);
    if (OnChange) {
        OnChange(font_, fontString_);
    }
}
