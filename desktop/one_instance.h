#pragma once

#include "desktop/instance_command.h"

#include <QObject>

class TAppInstance;

// The program uses oiActivateOnly; the other modes are not built and act
// like it.
enum TOneInstanceMode { oiActivateOnly, oiDefaultMessage, oiCustom };

// Acts on TAppInstance's decision while the main form is being made: a later
// copy hands over to the running one and ends.
class TOneInstance : public QObject {
    Q_OBJECT

public:
    explicit TOneInstance(QObject* parent = nullptr);

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    TOneInstanceMode Mode() const { return m_mode; }
    void SetMode(TOneInstanceMode mode) { m_mode = mode; }
    // What a later copy hands over: coming forward, or the command its
    // command line named.
    void SetCommand(TInstanceCommand command) { m_command = command; }

    // Run once the main form's parts exist, before its own set-up. True when
    // this copy is a later one: the running copy has been handed the
    // command (by default, to come forward), and the caller must end the program with exit code 0
    // before it reads or writes any file. Shows nothing.
    [[nodiscard]] bool Loaded(TAppInstance& instance);

private:
    bool m_enabled = true;
    TOneInstanceMode m_mode = oiActivateOnly;
    TInstanceCommand m_command = TInstanceCommand::ComeForward;
};
