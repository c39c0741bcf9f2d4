// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QObject>
#include <QVector>
#include <functional>

class BaseControlV1;
class EBaseWidget;
class QGraphicsItem;

// What a person's click on a control widget asks its screen for. Kinds share an action when the
// screen treats them alike; a kind whose clicks only matter to the edit tools asks for nothing.
enum class ExtClickAction {
    None,
    Lamp,       // switch the lamp, or bind it in association mode
    WallSwitch, // the switch's lamps, its scene, or association mode
    Sensor,     // the sensor's lamps, or association mode
    ToggleBit,  // invert the control's bit
    PressBit,   // set the control's bit
    WriteByte,  // write the button's value into its byte
    OpenLink,   // open the system screen or subsystem the button names
};

// What a value a person set on a control widget is.
enum class ExtValueAction {
    None,
    Value,      // a raw value for the control's window
    SetPoint,   // a thermostat set-point
    Brightness, // a lamp brightness
    Text,       // the widget's text is to be sent
};

// The plan widget of one control kind: how it is made, how a record's looks go onto it, how the
// record's decoded values show, and what a person's input on it asks for. Each widget class
// describes the kinds it shows (widgetKinds()); ExtWidgetKinds lists them by kind code.
struct ExtWidgetKind
{
    using Create = std::function<EBaseWidget *(BaseControlV1 *record, QGraphicsItem *plan)>;
    using Apply = std::function<bool(EBaseWidget *widget, BaseControlV1 *record)>;
    using Refresh = std::function<void(EBaseWidget *widget, const BaseControlV1 *record)>;
    using ValueHandler = std::function<void(int value)>;
    using ConnectValue =
        std::function<void(EBaseWidget *widget, QObject *receiver, const ValueHandler &handler)>;

    int kind = 0;
    // A new widget for a record of the kind, as a child of the plan.
    Create create;
    // Applies the record's looks; false when the widget is not of the kind's class.
    Apply apply;
    // Shows the record's decoded values; null for kinds that decode nothing. A record that is
    // write-pending keeps what the person set on its widget.
    Refresh refresh;
    ExtClickAction click = ExtClickAction::None;
    ExtValueAction value = ExtValueAction::None;
    // Connects the widget's value signal to `handler`, with `receiver` as the context (and the
    // sender seen there the widget); null when the kind has none. A text is announced with 0.
    ConnectValue connectValue;

    // An entry whose widgets are of class W and whose records are of class R.
    template<typename W, typename R>
    static ExtWidgetKind of(int kind, ExtClickAction click,
                            std::function<W *(R *record, QGraphicsItem *plan)> create,
                            std::function<void(W *widget, R *record)> apply,
                            std::function<void(W *widget, const R *record)> refresh = nullptr)
    {
        ExtWidgetKind k;
        k.kind = kind;
        k.click = click;
        k.create = [create](BaseControlV1 *record, QGraphicsItem *plan) -> EBaseWidget * {
            return create(static_cast<R *>(record), plan);
        };
        k.apply = [apply](EBaseWidget *widget, BaseControlV1 *record) {
            W *w = qobject_cast<W *>(widget);
            if (!w)
                return false;
            apply(w, static_cast<R *>(record));
            return true;
        };
        if (refresh) {
            k.refresh = [refresh](EBaseWidget *widget, const BaseControlV1 *record) {
                if (W *w = qobject_cast<W *>(widget))
                    refresh(w, static_cast<const R *>(record));
            };
        }
        return k;
    }

    // The widget's signal that carries a value a person set.
    template<typename W, typename... Args>
    ExtWidgetKind &withValue(ExtValueAction action, void (W::*signal)(Args...))
    {
        value = action;
        connectValue = [signal](EBaseWidget *widget, QObject *receiver,
                                const ValueHandler &handler) {
            if (W *w = qobject_cast<W *>(widget)) {
                QObject::connect(w, signal, receiver,
                                 [handler](Args... args) { handler(valueOf(args...)); });
            }
        };
        return *this;
    }

private:
    static int valueOf() { return 0; }
    static int valueOf(int value) { return value; }
};

namespace ExtWidgetKinds {

// Every control kind that has a plan widget.
const QVector<const ExtWidgetKind *> &all();
// The entry of a kind code; null for kinds without a widget.
const ExtWidgetKind *byKind(int kind);

} // namespace ExtWidgetKinds
