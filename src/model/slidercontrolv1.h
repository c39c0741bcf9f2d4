// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controlconstants.h"
#include "controlkind.h"
#include "dynamiccontrolv1.h"

#include <QVector>

struct ControlAttribute;

// Fields shared by the horizontal and the vertical slider.
class SliderControlV1 : public DynamicControlV1
{
public:
    ~SliderControlV1() override;

    // The attributes both slider kinds store, in the order they are written.
    static QVector<ControlAttribute> sliderAttributes();
    // The description both slider kinds share, for record class C with its code and tag.
    template<typename C> static ControlKind sliderKind(int code, const char *tag)
    {
        ControlKind k = ControlKind::ofRecord<C>(code, tag, ControlConstants::kSliderDataLength);
        k.attributes = sliderAttributes();
        k.valueBytes = [](const BaseControlV1 &c) {
            return typeDBytes(static_cast<const SliderControlV1 &>(c).typeD());
        };
        return k;
    }

    void decode(int minimumLength, BaseRoomV1 *page = nullptr) override;

    bool showRound() const { return m_showRound; }
    void setShowRound(bool value) { m_showRound = value; }
    int maximum() const { return m_maximum; }
    void setMaximum(int value) { m_maximum = value; }
    int minimum() const { return m_minimum; }
    void setMinimum(int value) { m_minimum = value; }
    int precisionView() const { return m_precisionView; }
    void setPrecisionView(int value) { m_precisionView = value; }
    int maxval() const { return m_maxval; }
    void setMaxval(int value) { m_maxval = value; }
    int width() const { return m_width; }
    void setWidth(int value) { m_width = value; }
    int height() const { return m_height; }
    void setHeight(int value) { m_height = value; }
    double step() const { return m_step; }
    void setStep(double value) { m_step = value; }
    double value() const { return m_value; }
    void setValue(double value) { m_value = value; }
    QString sliderColor() const { return m_sliderColor; }
    void setSliderColor(const QString &value) { m_sliderColor = value; }

protected:
    SliderControlV1();
    SliderControlV1(const SliderControlV1 &) = default;

private:
    bool m_showRound = false;
    int m_maximum = 255;
    int m_minimum = 0;
    int m_precisionView = 0;
    int m_maxval = 255;
    int m_width = 180;
    int m_height = 80;
    double m_step = 1.0;
    double m_value = 0;
    QString m_sliderColor = QStringLiteral("#017afd");
};
