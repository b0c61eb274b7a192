#pragma once

#include "platform/appcontext.h"

#include <QObject>

#include <optional>

class ProgramSettings;

// The main window's size, place and state: restored once at the start, saved after each resize of
// a normal window, and never smaller than the window was designed. Measures are twips; the view
// converts them to pixels.
class WindowLayout : public QObject
{
    Q_OBJECT
public:
    static constexpr double DesignWidth = 11000;
    static constexpr double DesignHeight = 7755;
    enum WindowState { Normal = 0, Minimised = 1, Maximised = 2 };
    struct Placement
    {
        double width = DesignWidth;
        double height = DesignHeight;
        double left = 0;
        double top = 0;
        int windowState = Normal;
    };

    WindowLayout(AppContext &context, ProgramSettings &settings, QObject *parent = nullptr);

    const Placement &placement() const { return m_placement; }
    // The view reports the window's measures and state before each Form_Resize.
    void setPlacement(const Placement &placement) { m_placement = placement; }

    // The width of the library tree trvScenery, which takes what the window has beyond its
    // designed width, after saving the placement of a normal window. Nothing when minimised, or
    // when the window had to grow to its minimum size: placementChanged tells the view, whose
    // resize comes back here.
    std::optional<int> Form_Resize();
    void ReadSize();
    void WriteSize();

signals:
    // The logic changed the window's measures or state (ReadSize, the minimum size).
    void placementChanged();

private:
    AppContext &m_context;
    ProgramSettings &m_settings;
    Placement m_placement;
    // Set after a placement could not be stored and reported, until one is stored again: a
    // window being resized writes many times, and one message says it.
    bool m_placementUnstored = false;
};
