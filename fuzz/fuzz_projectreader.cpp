// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The project reader under any subsystem file, with every control kind, followed by what the
// program does next with a page: controller answers decoded into its records, records copied by
// the editor, and the file written back. Nothing may crash, and a tree that was read must be
// written, read and written again without change.
//
// Input: byte 0 picks the file name (and so the subsystem type), byte 1 is the length n of the
// controller answer that follows it, then n answer bytes, then the file text.
#include "basecontrolv1.h"
#include "dynamiccontrolv1.h"
#include "floorstructv1.h"
#include "fuzzsupport.h"
#include "mainstructv1.h"
#include "projectreaderv1.h"
#include "projectwriterv1.h"
#include "xmldocument.h"

#include <memory>

namespace {

const char *const kFileNames[] = {"main_config.xml", "light_config.xml", "heat_config.xml",
                                  "security.xml"};

void applyToEveryPage(MainStructV1 *root, const QByteArray &answer, int registerOffset)
{
    for (BaseRoomV1 *page : root->allPages()) {
        // One block per bound control, starting at its first register: every record sees the
        // answer bytes from its own first byte on, however short the answer is.
        QList<SubsUpdate> blocks;
        for (BaseControlV1 *control : page->controls()) {
            if (!control->isControllerBound())
                continue;
            const int first = static_cast<DynamicControlV1 *>(control)->firstRegister(registerOffset);
            SubsUpdate block;
            block.start = first;
            block.end = first + (answer.size() + 1) / 2;
            block.byteCount = answer.size();
            block.data = answer;
            blocks.append(block);
        }
        page->applyAnswer(blocks, registerOffset);
        for (BaseControlV1 *control : page->controls())
            std::unique_ptr<BaseControlV1> copy(control->clone());
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const QString fileName = QLatin1String(kFileNames[data[0] % 4]);
    const size_t answerLength = std::min<size_t>(data[1], size - 2);
    const QByteArray answer = FuzzSupport::bytes(data + 2, answerLength);
    const QByteArray text = FuzzSupport::bytes(data + 2 + answerLength, size - 2 - answerLength);

    XmlDocument document;
    document.parse(text);
    QStringList problems;
    std::unique_ptr<MainStructV1> root =
        ProjectReaderV1::readSubsystem(document.root(), fileName, &problems);
    if (!root)
        FuzzSupport::fail("the reader gave no tree");

    const XML::NodeElementPtr written = ProjectWriterV1::buildTree(root.get());
    XmlDocument reread;
    if (!reread.parse(XmlDocument::toByteArray(written)))
        FuzzSupport::fail("a project tree was written as text that does not parse");
    std::unique_ptr<MainStructV1> again = ProjectReaderV1::readSubsystem(reread.root(), fileName);
    if (!FuzzSupport::sameTree(written, ProjectWriterV1::buildTree(again.get())))
        FuzzSupport::fail("a project changed when written, read and written again");

    applyToEveryPage(root.get(), answer, answer.isEmpty() ? 0 : quint8(answer.at(0)));
    return 0;
}
