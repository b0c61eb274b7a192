#pragma once

#include "platform/settingsstore.h"

#include <QString>

#include <array>
#include <optional>

// Reading numbers back from setting texts. A text counts as a number when, without its outer
// blanks, it is a decimal number (sign, digits, one decimal point, exponent); anything else,
// including "" and "inf", is not one.
namespace SettingText {
std::optional<double> number(const QString &text);
// The whole number a text stands for, halves rounded to the even neighbour as the earlier
// versions converted them. Throws LmError 13 (type mismatch) for a text that is not a number and
// 6 (overflow) for one outside the 32-bit range.
qint32 toWholeNumber(const QString &text);
// Like toWholeNumber, but nothing instead of a failure.
std::optional<qint32> wholeNumber(const QString &text);
}

// The program's own settings under "SOFTWARE\Tarnwick\Lumivale" in the machine-wide root, with
// their text forms and defaults. Reading never writes anything.
class ProgramSettings
{
public:
    static const QString Key;                  // "SOFTWARE\Tarnwick\Lumivale"
    static const QString DefaultHomepage;
    static const QString DefaultForum;
    static const QString DefaultSceneryFileExt;
    static const QString DefaultTextureFileExt;

    // programFolder and windowsFolder in Windows form, without a trailing "\"; they form the
    // defaults of the folder and program settings.
    ProgramSettings(SettingsStore &store, QString programFolder, QString windowsFolder = defaultWindowsFolder());

    // The Windows folder of this system: %SystemRoot% / %windir% on Windows, "C:\windows" under Wine.
    static QString defaultWindowsFolder();

    // Raw access to any value of the program's key; "" when missing.
    QString value(const QString &name) const;
    bool contains(const QString &name) const;
    void setValue(const QString &name, const QString &text);

    // Texts with a default: a missing or empty stored text gives the default.
    QString backupPath() const;         // program folder + "\EnvBackups\"
    QString backupTexturePath() const;  // program folder + "\TextureBackups\"
    QString browser() const;            // Windows folder + "\explorer.exe"
    QString documentation() const;      // program folder + "\Manual.htm"
    QString homepage() const;
    QString forum() const;
    // Also the default when the stored text is only blanks.
    QString sceneryFileExt() const;
    QString textureFileExt() const;

    // "SelectedSim" read with the given default passed to the store as it is.
    QString selectedSim(const QString &defaultValue) const;
    void setSelectedSim(qint32 simType);

    // The filter bits, or nothing when the stored text is missing, empty or not a number.
    static constexpr int FilterBoxCount = 6;
    using FilterBoxes = std::array<bool, FilterBoxCount>;
    std::optional<qint32> filter() const;
    // Sets every box from the stored bits; leaves the boxes untouched when there is no number.
    bool applyFilter(FilterBoxes &boxes) const;
    static qint32 filterValue(const FilterBoxes &boxes);
    void setFilter(const FilterBoxes &boxes);

    // "F1".."F12": key 1..12; "" when unbound.
    QString functionKey(int key) const;
    void setFunctionKey(int key, const QString &caption);

    // The main window's placement: a number only when the stored text is one.
    std::optional<double> formHeight() const { return formNumber(QStringLiteral("Form.Height")); }
    std::optional<double> formLeft() const { return formNumber(QStringLiteral("Form.Left")); }
    std::optional<double> formTop() const { return formNumber(QStringLiteral("Form.Top")); }
    std::optional<double> formWidth() const { return formNumber(QStringLiteral("Form.Width")); }
    std::optional<qint32> formWindowState() const;
    // Measures are stored as the shortest text of a single-precision number.
    void setFormPlacement(float height, float left, float top, float width, qint32 windowState);
    static QString singleText(float value);

    SettingsStore &store() const { return m_store; }

private:
    QString textOr(const QString &name, const QString &fallback) const;
    std::optional<double> formNumber(const QString &name) const;

    SettingsStore &m_store;
    QString m_programFolder;
    QString m_windowsFolder;
};
