#include "settings/programsettings.h"

#include "platform/lmerror.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <limits>

namespace {
constexpr SettingsStore::Root Machine = SettingsStore::Root::Machine;
}

std::optional<double> SettingText::number(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    // Only plain decimal forms: the C locale also takes "inf" and "nan", which no setting holds.
    for (const QChar c : t) {
        const ushort u = c.unicode();
        const bool allowed = (u >= '0' && u <= '9') || u == '+' || u == '-' || u == '.' || u == 'e' || u == 'E';
        if (!allowed)
            return std::nullopt;
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

qint32 SettingText::toWholeNumber(const QString &text)
{
    const auto value = number(text);
    if (!value)
        throw LmError::standard(LmError::TypeMismatch);
    const double rounded = std::nearbyint(*value);  // the default rounding: halves to even
    if (rounded < double(std::numeric_limits<qint32>::min()) || rounded > double(std::numeric_limits<qint32>::max()))
        throw LmError(6, QStringLiteral("Overflow"));
    return qint32(rounded);
}

std::optional<qint32> SettingText::wholeNumber(const QString &text)
{
    try {
        return toWholeNumber(text);
    } catch (const LmError &) {
        return std::nullopt;
    }
}

const QString ProgramSettings::Key = QStringLiteral("SOFTWARE\\Tarnwick\\Lumivale");
const QString ProgramSettings::DefaultHomepage = QStringLiteral("https://lumivale.example.org/");
const QString ProgramSettings::DefaultForum = QStringLiteral("https://lumivale.example.org/forum/");
const QString ProgramSettings::DefaultSceneryFileExt = QStringLiteral("*.bgl;*.dat;*.isu;*.xcl;*.mpf;*.dki");
const QString ProgramSettings::DefaultTextureFileExt = QStringLiteral("*.bmp;*.phi;*.r8;*.??f;*.pat;*.oav;*.agn");

ProgramSettings::ProgramSettings(SettingsStore &store, QString programFolder, QString windowsFolder)
    : m_store(store), m_programFolder(std::move(programFolder)), m_windowsFolder(std::move(windowsFolder))
{
    if (m_programFolder.endsWith(QLatin1Char('\\')))
        m_programFolder.chop(1);
    if (m_windowsFolder.endsWith(QLatin1Char('\\')))
        m_windowsFolder.chop(1);
}

QString ProgramSettings::defaultWindowsFolder()
{
#ifdef Q_OS_WIN
    QString folder = qEnvironmentVariable("SystemRoot");
    if (folder.isEmpty())
        folder = qEnvironmentVariable("windir");
    if (!folder.isEmpty())
        return folder;
#endif
    return QStringLiteral("C:\\windows");
}

QString ProgramSettings::value(const QString &name) const
{
    return m_store.read(Machine, Key, name, QString());
}

bool ProgramSettings::contains(const QString &name) const
{
    bool exists = false;
    m_store.read(Machine, Key, name, QString(), &exists);
    return exists;
}

void ProgramSettings::setValue(const QString &name, const QString &text)
{
    m_store.write(Machine, Key, name, text);
}

QString ProgramSettings::textOr(const QString &name, const QString &fallback) const
{
    const QString text = value(name);
    return text.isEmpty() ? fallback : text;
}

QString ProgramSettings::backupPath() const
{
    return textOr(QStringLiteral("BackupPath"), m_programFolder + QStringLiteral("\\EnvBackups\\"));
}

QString ProgramSettings::backupTexturePath() const
{
    return textOr(QStringLiteral("BackupTexturePath"), m_programFolder + QStringLiteral("\\TextureBackups\\"));
}

QString ProgramSettings::browser() const
{
    return textOr(QStringLiteral("Browser"), m_windowsFolder + QStringLiteral("\\explorer.exe"));
}

QString ProgramSettings::documentation() const
{
    return textOr(QStringLiteral("Documentation"), m_programFolder + QStringLiteral("\\Manual.htm"));
}

QString ProgramSettings::homepage() const
{
    return textOr(QStringLiteral("Homepage"), DefaultHomepage);
}

QString ProgramSettings::forum() const
{
    return textOr(QStringLiteral("Forum"), DefaultForum);
}

QString ProgramSettings::sceneryFileExt() const
{
    const QString text = value(QStringLiteral("SceneryFileExt"));
    return text.trimmed().isEmpty() ? DefaultSceneryFileExt : text;
}

QString ProgramSettings::textureFileExt() const
{
    const QString text = value(QStringLiteral("TextureFileExt"));
    return text.trimmed().isEmpty() ? DefaultTextureFileExt : text;
}

QString ProgramSettings::selectedSim(const QString &defaultValue) const
{
    return m_store.read(Machine, Key, QStringLiteral("SelectedSim"), defaultValue);
}

void ProgramSettings::setSelectedSim(qint32 simType)
{
    setValue(QStringLiteral("SelectedSim"), QString::number(simType));
}

std::optional<qint32> ProgramSettings::filter() const
{
    return SettingText::wholeNumber(value(QStringLiteral("Filter")));
}

bool ProgramSettings::applyFilter(FilterBoxes &boxes) const
{
    const auto bits = filter();
    if (!bits)
        return false;
    for (int i = 0; i < FilterBoxCount; ++i)
        boxes[std::size_t(i)] = (*bits >> i) & 1;
    return true;
}

qint32 ProgramSettings::filterValue(const FilterBoxes &boxes)
{
    qint32 sum = 0;
    for (int i = 0; i < FilterBoxCount; ++i) {
        if (boxes[std::size_t(i)])
            sum += 1 << i;
    }
    return sum;
}

void ProgramSettings::setFilter(const FilterBoxes &boxes)
{
    setValue(QStringLiteral("Filter"), QString::number(filterValue(boxes)));
}

QString ProgramSettings::functionKey(int key) const
{
    if (key < 1 || key > 12)
        return {};
    return value(QStringLiteral("F") + QString::number(key));
}

void ProgramSettings::setFunctionKey(int key, const QString &caption)
{
    if (key < 1 || key > 12)
        throw LmError::standard(LmError::SubscriptOutOfRange);
    setValue(QStringLiteral("F") + QString::number(key), caption);
}

std::optional<double> ProgramSettings::formNumber(const QString &name) const
{
    return SettingText::number(value(name));
}

std::optional<qint32> ProgramSettings::formWindowState() const
{
    return SettingText::wholeNumber(value(QStringLiteral("Form.WindowState")));
}

void ProgramSettings::setFormPlacement(float height, float left, float top, float width, qint32 windowState)
{
    setValue(QStringLiteral("Form.Height"), singleText(height));
    setValue(QStringLiteral("Form.Left"), singleText(left));
    setValue(QStringLiteral("Form.Top"), singleText(top));
    setValue(QStringLiteral("Form.Width"), singleText(width));
    setValue(QStringLiteral("Form.WindowState"), QString::number(windowState));
}

QString ProgramSettings::singleText(float value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}
