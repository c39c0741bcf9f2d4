// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The weather informer's reply under any bytes: parsing must never crash, and a reply that is
// refused must leave the last forecast as it was.
#include "fuzzsupport.h"
#include "weatherdata.h"

namespace {

QVector<int> numbers(const ForecastClass::Forecast &f)
{
    return {f.day,         f.month,          f.year,           f.hour,        f.tod,
            f.predict,     f.weekday,        f.cloudiness,     f.precipitation, f.rpower,
            f.spower,      f.windMin,        f.windMax,        f.windDirection, f.pressureMax,
            f.pressureMin, f.heatMax,        f.heatMin,        f.temperatureMax, f.temperatureMin,
            f.relwetMax,   f.relwetMin};
}

bool same(const ForecastClass::Forecast &a, const ForecastClass::Forecast &b)
{
    return numbers(a) == numbers(b) && a.townName == b.townName && a.townId == b.townId;
}

const char kKnownReply[] =
    "<MMWEATHER><REPORT><TOWN index=\"1\" sname=\"Town\"><FORECAST day=\"7\" month=\"12\" "
    "year=\"2026\" hour=\"9\" tod=\"1\" predict=\"0\" weekday=\"2\"><PHENOMENA cloudiness=\"2\" "
    "precipitation=\"10\" rpower=\"0\" spower=\"0\"/><PRESSURE max=\"750\" min=\"748\"/>"
    "<TEMPERATURE max=\"3\" min=\"-1\"/><WIND min=\"2\" max=\"4\" direction=\"5\"/>"
    "<RELWET max=\"90\" min=\"80\"/><HEAT min=\"-4\" max=\"0\"/></FORECAST></TOWN></REPORT>"
    "</MMWEATHER>";

// One client for the whole run: creating its network access manager costs more than a parse.
WeatherData *g_weather = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialize(argc, argv);
    g_weather = new WeatherData;
    g_weather->setTown(QStringLiteral("Town"), QStringLiteral("1"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Each input starts from the same forecast.
    if (!g_weather->parseReply(QByteArray(kKnownReply)))
        FuzzSupport::fail("the reference reply was refused");
    const ForecastClass::Forecast before = g_weather->forecast();
    if (!g_weather->parseReply(FuzzSupport::bytes(data, size)) &&
        !same(before, g_weather->forecast()))
        FuzzSupport::fail("a refused reply changed the forecast");
    return 0;
}
