// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The controller's status block and scene area under any bytes, with message and parameter
// lists of any ids (they come from the settings file): decoding must never crash or read past
// the block, a short block must change nothing, and the scene area always gives ten names and
// eight scene definitions.
//
// Input: byte 0 = number of message records, byte 1 = number of parameter records, then one id
// byte per record, then the block (used as the status block and as the scene area).
#include "controllertypes.h"
#include "fuzzsupport.h"
#include "modbusconstants.h"
#include "statusdecoding.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const size_t messageCount = data[0] % 32;
    const size_t parameterCount = data[1] % 32;
    if (size < 2 + messageCount + parameterCount)
        return 0;
    ReservVariables variables;
    for (size_t i = 0; i < messageCount; ++i) {
        AlertStruct message;
        message.id = data[2 + i];
        variables.messages.append(message);
    }
    for (size_t i = 0; i < parameterCount; ++i) {
        ArchiveStruct parameter;
        parameter.id = data[2 + messageCount + i];
        variables.parameters.append(parameter);
    }
    const size_t used = 2 + messageCount + parameterCount;
    // The block is copied so that AddressSanitizer sees its exact end.
    const QByteArray block = FuzzSupport::bytes(data + used, size - used);

    const bool decoded = decodeStatusBlock(block, &variables);
    if (decoded != (block.size() >= ModbusLink::kStatusBlockBytes))
        FuzzSupport::fail("a status block was decoded or refused by the wrong length");
    if (!decoded && variables.soundNumber != 0)
        FuzzSupport::fail("a refused status block changed the variables");
    // Decoding twice: the sound counts as unchanged the second time.
    if (decoded && (!decodeStatusBlock(block, &variables) || !variables.soundUnchanged))
        FuzzSupport::fail("the same status block twice reported a new sound");

    ScenesStruct scenes;
    decodeSceneArea(block, &scenes);
    if (scenes.names.size() != ModbusLink::kSceneTextCount ||
        scenes.activators.size() != ModbusLink::kGlobalSceneCount)
        FuzzSupport::fail("the scene area did not give every name and definition");
    return 0;
}
