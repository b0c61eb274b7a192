#include "app/windowlayout.h"

#include "app/windowprocedure.h"
#include "settings/programsettings.h"

#include <cmath>

namespace {
constexpr double MinimumHeight = 7765;
constexpr double MinimumWidth = 11010;
constexpr int DesignTreeWidth = 4815;
} // namespace

WindowLayout::WindowLayout(AppContext &context, ProgramSettings &settings, QObject *parent)
    : QObject(parent), m_context(context), m_settings(settings)
{}

std::optional<int> WindowLayout::Form_Resize()
{
    std::optional<int> treeWidth;
    guarded(m_context.ui, "Form_Resize", [&] {
        m_context.ui.processEvents();
        if (m_placement.windowState == Minimised)
            return;
        // Growing the window makes the view resize again, which comes back here.
        if (m_placement.height < DesignHeight) {
            m_placement.height = MinimumHeight;
            emit placementChanged();
            return;
        }
        if (m_placement.width < DesignWidth) {
            m_placement.width = MinimumWidth;
            emit placementChanged();
            return;
        }
        treeWidth = int(std::nearbyint(m_placement.width - DesignWidth)) + DesignTreeWidth;
        if (m_placement.windowState == Normal)
            WriteSize();
    });
    return treeWidth;
}

void WindowLayout::WriteSize()
{
    try {
        m_settings.setFormPlacement(float(m_placement.height), float(m_placement.left),
                                    float(m_placement.top), float(m_placement.width),
                                    m_placement.windowState);
        m_placementUnstored = false;
    } catch (const LmError &error) {
        if (!m_placementUnstored)
            reportError(m_context.ui, QStringLiteral(".WriteSize"), error);
        m_placementUnstored = true;
    }
}

void WindowLayout::ReadSize()
{
    guarded(m_context.ui, "ReadSize", [&] {
        Placement placement = m_placement;
        if (const std::optional<qint32> state = m_settings.formWindowState())
            placement.windowState = *state;
        if (const std::optional<double> height = m_settings.formHeight())
            placement.height = std::nearbyint(*height);
        if (const std::optional<double> left = m_settings.formLeft())
            placement.left = std::nearbyint(*left);
        if (const std::optional<double> top = m_settings.formTop())
            placement.top = std::nearbyint(*top);
        if (const std::optional<double> width = m_settings.formWidth())
            placement.width = std::nearbyint(*width);
        m_placement = placement;
        emit placementChanged();
    });
}
