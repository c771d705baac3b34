// The attach dialog driven through its widgets: the free sites and surface
// lists, refusals (one or two boxes, nothing changed, the dialog left open;
// which joins the attach table refuses is the design tests' part) and the
// three ways of joining, each closing the dialog.

#include "dialogs/DialogSurfaceAttach.h"

#include "design/AttachGeometry.h"
#include "QtTestRegistry.h"
#include "design/AttachmentSites.h"
#include "design/ChannelCreation.h"
#include "design/CircularSurface.h"
#include "dialogs/DialogTestSupport.h"
#include "surface/SurfaceSection.h"

#include <QCheckBox>

#include <memory>

using namespace dialogtest;

namespace {

constexpr const char* kInvalid = "Invalid attachment.";

} // namespace

class DialogSurfaceAttachTest : public QObject {
    Q_OBJECT

    std::unique_ptr<COpenGLTemplateDoc> doc;
    std::unique_ptr<DialogSurfaceAttach> dialog;
    std::unique_ptr<MessageBoxAnswers> boxes;

    QListWidget* siteList() { return control<QListWidget>(dialog.get(), "siteList"); }
    QComboBox* combo(const char* name) { return control<QComboBox>(dialog.get(), name); }
    QStringList entries(const char* name)
    {
        QStringList all;
        for (int k = 0; k < combo(name)->count(); ++k) all << combo(name)->itemText(k);
        return all;
    }
    SurfaceSection* surface(const char* name) { return doc->FindSurface(name, "main"); }
    const AttachmentSite& site(const char* S, const char* X)
    {
        return surface(S)->attachmentSites[design::FindSiteIndex(*surface(S), X)];
    }
    int linkedSites() const
    {
        int linked = 0;
        for (const auto& s : doc->surfaces)
            for (const AttachmentSite& site : s->attachmentSites) linked += site.isFree() ? 0 : 1;
        return linked;
    }
    // Selects S, opens the dialog and makes the choices a person would.
    void choose(const QString& S, const QString& X, const QString& T, const QString& Y)
    {
        doc->selectedSurface = surface(S.toLatin1().constData());
        dialog->hide();
        dialog->show();
        if (!X.isEmpty()) QVERIFY(selectLine(siteList(), X));
        if (!T.isEmpty()) QVERIFY(chooseEntry(combo("surfaceCombo"), QStringLiteral("main::") + T));
        if (!Y.isEmpty()) QVERIFY(chooseEntry(combo("otherSiteCombo"), Y));
    }
    // Clicks a way of joining, which must join without a message and close the dialog.
    void join(const char* button)
    {
        click(dialog.get(), button);
        QCOMPARE(boxes->texts, QStringList());
        QVERIFY(!dialog->isVisible());
    }

private slots:
    // Channels a and b (5 points), wide (7 points) and the quarter circle p, all in "main".
    void init()
    {
        doc = std::make_unique<COpenGLTemplateDoc>();
        doc->OnNewDocument();
        doc->CreateChannelSurface("b", 5, 2);
        doc->CreateChannelSurface("wide", 7, 2);
        QVERIFY(design::CreateCircularSurface(*doc, "p", design::kQuarter, 5, 3, 1.0, 4.0));
        doc->SetModifiedFlag(false);
        dialog = std::make_unique<DialogSurfaceAttach>(*doc);
        boxes = std::make_unique<MessageBoxAnswers>();
    }
    void cleanup() { boxes.reset(); dialog.reset(); doc.reset(); }

    void showingListsTheFreeSitesAndEveryOtherSurface()
    {
        SurfaceSection* a = surface("a");
        QCOMPARE(design::AttachSurfaces(*doc, {a, &a->attachmentSites[0], surface("b"),
                                               &surface("b")->attachmentSites[1], false, nullptr}),
                 "");
        choose("a", "", "", "");
        QCOMPARE(lines(siteList()), (QStringList{"begin", "left", "right"}));
        QCOMPARE(control<QLineEdit>(dialog.get(), "directionEdit")->text().toInt(), 1 + a->sectionCount / 2);
        QCOMPARE(control<QLineEdit>(dialog.get(), "intermediateEdit")->text().toInt(),
                 design::kDefaultGrowIntermediate);
        QCOMPARE(combo("surfaceCombo")->count(), 0);
        QVERIFY(selectLine(siteList(), QStringLiteral("left")));
        const QStringList others{"main::b", "main::wide", "main::p"};
        QCOMPARE(entries("surfaceCombo"), others);
        QCOMPARE(entries("pseudoCombo"), QStringList{"main::a"} + others);
        QVERIFY(chooseEntry(combo("surfaceCombo"), QStringLiteral("main::b")));
        QCOMPARE(entries("otherSiteCombo"), (QStringList{"end", "left", "right"}));
    }

    void refusalsChangeNothingAndKeepTheDialogOpen_data()
    {
        QTest::addColumn<QString>("S");
        QTest::addColumn<QString>("X");
        QTest::addColumn<QString>("T");
        QTest::addColumn<QString>("Y");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("direction"); // "" keeps the dialog's
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("no other surface")
            << "a" << "end" << "" << "" << "attachButton" << ""
            << QStringList{"Select a surface to attach and its attachment site.", kInvalid};
        QTest::newRow("different u counts")
            << "a" << "end" << "wide" << "begin" << "attachButton" << ""
            << QStringList{"You can only attach another surface at the selected site with an equal number of control "
                           "points in the u direction.",
                           kInvalid};
        QTest::newRow("identical circular without a site")
            << "p" << "" << "" << "" << "identicalCircularButton" << "" << QStringList{design::kSelectSiteToAttachAt};
        QTest::newRow("new channel without a site") << "a" << "" << "" << "" << "newChannelButton" << ""
                                                    << QStringList{design::kSelectSiteToAttachAt};
        QTest::newRow("direction index beyond its field's range")
            << "a" << "end" << "" << "" << "newChannelButton" << "21"
            << QStringList{QString::fromStdString(
                   design::IntegerRangePrompt(design::kDirectionIndexLow, design::kDirectionIndexHigh))};
    }
    void refusalsChangeNothingAndKeepTheDialogOpen()
    {
        QFETCH(QString, S);
        QFETCH(QString, X);
        QFETCH(QString, T);
        QFETCH(QString, Y);
        QFETCH(QString, button);
        QFETCH(QString, direction);
        QFETCH(QStringList, messages);
        choose(S, X, T, Y);
        if (!direction.isEmpty()) type(dialog.get(), "directionEdit", direction);
        const std::size_t surfaces = doc->surfaces.size();
        const float corner = surface("b")->controlNet[0][0].x;

        click(dialog.get(), button.toLatin1().constData());

        QCOMPARE(boxes->texts, messages);
        QCOMPARE(doc->surfaces.size(), surfaces);
        QCOMPARE(linkedSites(), 0);
        QCOMPARE(surface("b")->controlNet[0][0].x, corner);
        QVERIFY(!doc->IsModified());
        QVERIFY(dialog->isVisible());
    }

    void attachLinksBothSitesAndCloses_data()
    {
        QTest::addColumn<bool>("dontMove");
        QTest::newRow("moving the other surface") << false;
        QTest::newRow("don't move") << true;
    }
    void attachLinksBothSitesAndCloses()
    {
        QFETCH(bool, dontMove);
        QSignalSpy attached(dialog.get(), &DialogSurfaceAttach::attached);
        choose("a", "end", "b", "begin");
        QVERIFY(chooseEntry(combo("pseudoCombo"), QStringLiteral("main::wide")));
        control<QCheckBox>(dialog.get(), "dontMoveCheck")->setChecked(dontMove);
        const Vec3 before = surface("b")->EvaluatePoint(0.5, 0.0);
        join("attachButton");
        QCOMPARE(site("a", "end").otherSurface, surface("b"));
        QCOMPARE(site("a", "end").pseudoSurface, surface("wide"));
        QCOMPARE(site("b", "begin").otherSurface, surface("a"));
        // Unless told not to, b moved so that its beginning lies on a's end.
        const Vec3 joined = surface("b")->EvaluatePoint(0.5, 0.0);
        if (dontMove) QVERIFY(length(joined - before) < 1e-9);
        else QVERIFY(length(joined - surface("a")->EvaluatePoint(0.5, 1.0)) < 1e-3 && length(joined - before) > 1.0);
        QVERIFY(doc->IsModified());
        QCOMPARE(attached.count(), 1);
    }

    void identicalCircularContinuesTheArc()
    {
        choose("p", "left", "", "");
        join("identicalCircularButton");
        SurfaceSection* copy = doc->surfaces.back().get();
        QCOMPARE(QString::fromStdString(textOf(copy->name)), QStringLiteral("pleft"));
        QCOMPARE(site("p", "left").otherSurface, copy);
    }

    void newChannelGrowsFromTheSite()
    {
        choose("a", "end", "", "");
        type(dialog.get(), "intermediateEdit", QStringLiteral("3"));
        join("newChannelButton");
        SurfaceSection* grown = doc->FindSurface("aend", "main");
        QVERIFY(grown);
        QCOMPARE(grown->surfaceType, kTypeAttached);
        QCOMPARE(grown->intermediateCount, 3);
        QCOMPARE(site("a", "end").otherSurface, grown);
        QVERIFY(doc->IsModified());
    }

    void returnPressesNewChannelWhateverWasClickedBefore()
    {
        choose("a", "end", "", "");
        click(dialog.get(), "attachButton");
        QCOMPARE(boxes->texts.size(), 2);
        QTest::keyClick(control<QLineEdit>(dialog.get(), "intermediateEdit"), Qt::Key_Return);
        QCOMPARE(boxes->texts.size(), 2);
        QVERIFY(doc->FindSurface("aend", "main"));
    }
};

MARLWICK_REGISTER_QTEST(DialogSurfaceAttachTest)
#include "DialogSurfaceAttachTest.moc"
