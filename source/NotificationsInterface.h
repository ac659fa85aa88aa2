// What the preset tool bar tells the plug-in: another program was selected,
// or the current program switched between its stored and edited values.
#pragma once

class NotificationsInterface {
public:
    virtual ~NotificationsInterface() = default;
    virtual void programChanged() = 0;
    virtual void programValuesChanged() = 0;
};
