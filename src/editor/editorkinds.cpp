// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "editorkinds.h"

#include "controlconstants.h"

#include <QHash>

namespace {

using namespace ControlConstants;
using U = UniSettings;
using A = UniAddControls;

QVector<PaletteEntry> paletteTable()
{
    // clang-format off
    return {
    {A::EntrySystem, 0, 0, "System", "system.png", &A::addSystemClicked, KindSystem, "System"},
    {A::EntryLevel, 0, 1, "Level", "level.png", &A::firstClick, 0, ""},
    {A::EntryLight, 0, 2, "Light", "ktipoff.png", &A::lightClick, KindLight, "Light"},
    {A::EntrySwitch, 0, 3, "Switch", "options.png", &A::switchClick, KindSwitch, "Switch"},
    {A::EntrySensor, 0, 4, "Sensor", "brisolt_al.png", &A::sensorClick, KindSensor, "Sensor"},
    {A::EntryHeat, 1, 0, "Thermostate", "heatc.png", &A::heatClick, KindHeat, "Thermostate"},
    {A::EntryByte, 1, 1, "Byte", "gbyte.png", &A::byteClick, KindByte, "Byte"},
    {A::EntryByteBtn, 1, 2, "ByteBtn", "bytebtn.png", &A::bytebtnClick, KindResbt, "ByteBtn"},
    {A::EntryBoolBtn, 1, 3, "BoolBtn", "boolbtn.png", &A::boolbtnClick, KindBtn, "BoolBtn"},
    {A::EntryBool, 1, 4, "Bool", "off.png", &A::boolClick, KindBool, "Bool"},
    {A::EntryWeather, 2, 0, "Weather", "sun_clouds.png", &A::weatherClick, KindWeather, "Weather"},
    {A::EntryIpCam, 2, 1, "MJPEG\r\ncamera", "camera.png", &A::ipcamClick, KindIpCam, "IPcamera"},
    {A::EntryAvCam, 2, 2, "Audio/Video\r\ncamera", "mpeg_icon.png", &A::avcamClick, KindAVCam, "IPcamera"},
    {A::EntryTextWrite, 2, 3, "Text write", "texteditor.png", &A::textWriteClick, KindTextWrite, "Textwrite"},
    {A::EntryText, 2, 4, "Text", "text.png", &A::textClick, KindText, "Text"},
    {A::EntryDynText, 3, 0, "Dyn. text", "insert_text.png", &A::dyntextClick, KindDynText, "Dyntext"},
    {A::EntryHSlider, 3, 1, "HSlider", "hslider.png", &A::hsliderClick, KindHSlider, "HSlider"},
    {A::EntryVSlider, 3, 2, "VSlider", "vslider.png", &A::vsliderClick, KindVSlider, "VSlider"},
    };
    // clang-format on
}

QHash<int, QVector<PropertyRow>> propertyTable()
{
    const PropertyRow name{U::Name, "name"};
    const PropertyRow text{U::Text, "textB"};
    const PropertyRow width{U::Width, "width"};
    const PropertyRow height{U::Height, "height"};
    const PropertyRow address{U::Address, "byteAddress"};
    const PropertyRow fontColor{U::FontColor, "fontColor"};
    const PropertyRow fontSize{U::FontSize, "fontSize"};
    const PropertyRow fone{U::Fone, "showRound"};
    // clang-format off
    // Without its address, port and stream path a camera from the palette never shows a picture.
    const QVector<PropertyRow> camera{
        {U::Text, "camname"}, width, height, fone, {U::CameraAddress, "ipaddress"},
        {U::CameraPort, "port"}, {U::StreamPath, "initial"}, {U::Login, "login"},
        {U::Password, "password"}, {U::PtzLeft, "ptzMoveLeft"}, {U::PtzRight, "ptzMoveRight"},
        {U::PtzUp, "ptzMoveUp"}, {U::PtzDown, "ptzMoveDown"}, {U::PtzHome, "ptzMoveHome"},
        {U::PtzZoomIn, "ptzZoomIn"}, {U::PtzZoomOut, "ptzZoomOut"}};
    const QVector<PropertyRow> slider{
        name, text, width, height, address, {U::Maximum, "maximum"}, {U::Minimum, "minimum"},
        {U::MaxVal, "maxval"}, {U::Step, "step"}, {U::DataType, "typeD"},
        {U::Precision, "precisionView"}, fone};
    return {
        {KindLight, {name, text, {U::Number, "lmpNumber"}, {U::Dimmer, "dimmer"},
                     {U::ImageOn, "imageOn"}, {U::ImageOff, "imageOff"}}},
        {KindSwitch, {name, text, {U::Number, "swcNumber"}, {U::ImageScene, "imageScene"},
                      {U::ImageOn, "imageOn"}}},
        {KindSensor, {name, text, {U::Number, "snrNumber"}, {U::ImageOn, "imageOn"},
                      {U::ImageOff, "imageOff"}, {U::Image, "imageDis"}}},
        {KindHeat, {name, text, {U::Number, "swcNumber"}, fontColor, fontSize, width, height}},
        {KindBool, {name, text, {U::ImageOff, "imageOff"}, {U::ImageOn, "imageOn"}, address,
                    {U::BitNumber, "bitNumber"}, {U::ReadOnly, "isReadOnly"}}},
        {KindByte, {name, text, width, height, {U::Image, "image"}, address, {U::DataType, "typeD"},
                    {U::Maximum, "maximum"}, {U::Minimum, "minimum"}, {U::MaxVal, "maxval"},
                    {U::Step, "step"}, {U::Precision, "precisionView"},
                    {U::ReadOnly, "isReadOnly"}, {U::Editable, "isEditable"}, fontColor,
                    fontSize, fone}},
        {KindBtn, {name, text, width, height, {U::Image, "image"}, address,
                   {U::BitNumber, "bitNumber"}}},
        {KindResbt, {name, text, {U::ImageOff, "imageOff"}, {U::ImageOn, "imageOn"}, address,
                     {U::Value, "val"}}},
        {KindText, {name, text, width, height, {U::FontName, "fontFamily"}, fontSize, fontColor,
                    fone, {U::FontType, "fontType"}}},
        {KindDynText, {name, text, width, height, address, {U::FontName, "fontFamily"}, fontSize,
                       fontColor, fone, {U::Maximum, "maximum"}, {U::FontType, "fontType"}}},
        // The controller's text field is counted in whole registers.
        {KindTextWrite, {name, text, width, height, address, fontColor, fone, fontSize,
                         {U::Maximum, "maximum", PropertyRow::EvenNumber}}},
        // A system button's file name is edited in the name field.
        {KindSystem, {{U::Name, "fileName"}, text, {U::Image, "image"},
                      {U::SystemType, "systType"}}},
        {KindWeather, {{U::Text, "cityName"}, {U::CityCode, "cityId"}}},
        {KindIpCam, camera},
        {KindAVCam, camera},
        {KindHSlider, slider},
        {KindVSlider, slider},
    };
    // clang-format on
}

} // namespace

namespace EditorKinds {

const QVector<PaletteEntry> &paletteEntries()
{
    static const QVector<PaletteEntry> entries = paletteTable();
    return entries;
}

const PaletteEntry *paletteEntry(int code)
{
    for (const PaletteEntry &entry : paletteEntries()) {
        if (entry.code == code)
            return &entry;
    }
    return nullptr;
}

const PaletteEntry *paletteEntryForKind(int kind)
{
    for (const PaletteEntry &entry : paletteEntries()) {
        if (kind != 0 && entry.kind == kind)
            return &entry;
    }
    return nullptr;
}

QVector<PropertyRow> propertyRows(int kind)
{
    static const QHash<int, QVector<PropertyRow>> table = propertyTable();
    return table.value(kind);
}

} // namespace EditorKinds
