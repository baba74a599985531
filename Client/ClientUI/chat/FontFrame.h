// The font bar: name, size, colour, bold, italic and underline. Every change
// the user makes rebuilds the font string and reports font and string.
#pragma once

#include <QColor>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "chat/FontString.h"

class QComboBox;
class QToolButton;

class TframeFont : public QWidget {
    Q_OBJECT

  public:
    explicit TframeFont(QWidget* parent = nullptr);

    // Parses the string into the bar's font and shows it; an empty or
    // damaged string changes nothing.
    void LoadFontString(const std::string& fontString);
    const TChatFont& CurrentFont() const { return font_; }
    const std::string& FontString() const { return fontString_; }

    // Called after every change the user makes.
    std::function<void(const TChatFont& font, const std::string& fontString)> OnChange;
    // The colour dialog; tests answer it themselves.
    std::function<std::optional<QColor>(const QColor& current)> PickColor;

    QToolButton* btnBold;
    QToolButton* btnItalic;
    QToolButton* btnUnderline;
    QToolButton* btnColor;
    QComboBox* cmbFontName;
    QComboBox* cmbFontSize;

  private:
    void ShowFont();
    void Changed();
    void SelectName(const QString& name);

    TChatFont font_;
    std::string fontString_ = BuildFontString(TChatFont{});
};
