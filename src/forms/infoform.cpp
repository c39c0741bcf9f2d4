// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "infoform.h"

#include "ecoreapp.h"
#include "egridlayout.h"
#include "elabelwidget.h"

#include <QCoreApplication>
#include <QGraphicsSceneMouseEvent>

namespace {
// A broken project can report hundreds of lines; the page shows the first ones.
const int kMaxProblemLines = 12;
}

InfoForm::InfoForm(QGraphicsItem *parent)
    : BaseForm(parent)
{
    setAcceptedMouseButtons(Qt::LeftButton);
    auto *grid = new EGridLayout;
    grid->setColumnSizes({10, 0, 0, 10});
    grid->setColumnStretch(1, 1);
    grid->setRowSizes({40, 40, 26, 26, 26, 26, 50, 0});
    grid->setRowStretch(7, 1);

    auto make = [&](int row, int pixelSize, bool bold, int rowSpan = 1) {
        auto *label = new ELabelWidget;
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(pixelSize);
        font.setBold(bold);
        label->setFont(font);
        label->setColortext(Qt::black);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        grid->addWidget(label, row, 1, rowSpan, 2);
        return label;
    };
    m_title = make(0, 24, true);
    m_product = make(1, 20, true);
    m_version = make(2, 14, false);
    m_rights = make(3, 14, false);
    m_contact = make(4, 14, false);
    // The notice wraps to several lines on a narrow page or in a longer language: it takes the
    // gap below it too and starts at the top, clear of the contact line.
    m_legal = make(5, 12, false, 2);
    m_legal->setWordWrap(true);
    m_legal->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_problems = make(7, 13, false);
    m_problems->setWordWrap(true);
    m_problems->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_problems->setColortext(QColor(140, 20, 20));
    setLayout(grid);

    if (ELocale *locale = ECoreApp::instance()->locale())
        connect(locale, &ELocale::changedLocale, this, &InfoForm::changedLocale);
    retranslate();
}

void InfoForm::setProblems(const QStringList &problems)
{
    m_problemList = problems;
    QStringList shown = problems.mid(0, kMaxProblemLines);
    if (problems.size() > kMaxProblemLines)
        shown << QStringLiteral("… (%1 more)").arg(problems.size() - kMaxProblemLines);
    m_problems->setLabelT(shown.join(QLatin1Char('\n')));
}

QString InfoForm::problemsText() const
{
    return m_problems->labelT();
}

void InfoForm::changedLocale(const QString &)
{
    retranslate();
}

void InfoForm::applyTexts()
{
    const QString version = QCoreApplication::applicationVersion();
    m_title->setLabelT(localText(61083));
    m_product->setLabelT(QStringLiteral("Verandix ") + version.section(QLatin1Char('.'), 0, 1));
    m_version->setLabelT(localText(61080) + version);
    m_rights->setLabelT(QStringLiteral("© Verandix developers. Free software under the GNU GPL v3 or later."));
    m_contact->setLabelT(localText(61081) + QStringLiteral("+1 555 0100"));
    m_legal->setLabelT(localText(61082));
}

void InfoForm::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    // The page takes clicks so that they do not fall through to the background image.
    event->accept();
}
