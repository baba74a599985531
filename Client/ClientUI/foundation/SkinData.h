// A skin: a compressed Qt resource file holding "/skin.qss" and the pictures
// it refers to as url(:<mapRoot>/...). Widgets name the skin element that
// styles them through the dynamic property "skin" (see SetSkinName), so a
// style sheet selects them with *[skin="name"].
#pragma once

#include <QString>
#include <string>

class QWidget;

class TSkinData {
  public:
    TSkinData() = default;
    ~TSkinData();
    TSkinData(const TSkinData&) = delete;
    TSkinData& operator=(const TSkinData&) = delete;

    // Registers the file under mapRoot (e.g. "/skin1") and reads its style
    // sheet. On failure the skin is left empty and false is returned. Loading
    // again replaces the previous skin.
    bool LoadFromFile(const std::string& path, const QString& mapRoot);
    void Clear();

    bool IsEmpty() const { return styleSheet_.isEmpty(); }
    const QString& StyleSheet() const { return styleSheet_; }

    // An empty skin changes nothing, leaving the default look.
    void ApplyToApplication() const;
    void ApplyTo(QWidget* widget) const;

  private:
    QString file_;
    QString root_;
    QString styleSheet_;
};

// Names the skin element of a widget and restyles it at once.
void SetSkinName(QWidget* widget, const char* name);
