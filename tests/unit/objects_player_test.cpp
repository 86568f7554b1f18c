#include "core/main.h"
#include "objects/cBullet.h"
#include "objects/cPlayer.h"
#include "support/GameTest.h"

TEST_F(cPlayingTest, EnergyRechargesToTheLevelCapAndTheSuperChargerDoublesIt) {
    game.Pause();
    Input(50);
    EXPECT_EQ(iEnergySent, 50) << "paused, the energy still grows and is shown";
    Input(100);
    EXPECT_EQ(iEnergySent, 80);
    EXPECT_EQ(iCapSent, 80);
    SetLevel(2);
    Input(1000);
    EXPECT_EQ(iEnergySent, 160);

    game.pPlayer->iEnergy = 0;
    game.Play();
    pShip->iSupercharger = 300;
    pShip->AddSupercharger();
    Input(3);
    EXPECT_EQ(pShip->SC(), 997);
    EXPECT_EQ(iEnergySent, 6);
    pShip->iSupercharger = 1;
    Input(1);
    EXPECT_EQ(iEnergySent, 7) << "the step that empties the charge runs without it";
    EXPECT_FALSE(pShip->HasSupercharger());
}

TEST_F(cPlayingTest, HeldFireFromFullEnergyShootsInABurstThenEveryTwentyTicks) {
    Input(100);
    key[KEY_SPACE] = 1;
    game.Pause();
    Input(10);
    EXPECT_TRUE(Added<cBullet>().empty()) << "no shot while paused";
    EXPECT_TRUE(vSounds.empty());
    EXPECT_EQ(iEnergySent, 80);
    game.Play();
    std::vector<int> vShotTimes;
    for (int iTick = 0; iTick <= 100; ++iTick) {
        const size_t iBefore = game.vNewObjects.size();
        Input(iTick == 0 ? 0 : 1);
        if (game.vNewObjects.size() > iBefore)
            vShotTimes.push_back(iTick);
    }
    EXPECT_EQ(vShotTimes, (std::vector<int>{0, 8, 16, 24, 32, 40, 60, 80, 100}));
    EXPECT_EQ(vSounds, std::vector<int>(9, 1));
    const cBullet* pBullet = Added<cBullet>().at(0);
    EXPECT_EQ(pBullet->iBitmap, 2);
    EXPECT_EQ(pBullet->GetPosition().y, 480.0f - (Sprite(2)->h + 64));
    EXPECT_EQ(pBullet->vVelocity.y, -4.0f);
}

TEST_F(cPlayingTest, TheShipMovesOnlyWhilePlayingAndStopsAtTheEdges) {
    Input(100);
    key[KEY_LEFT] = key[KEY_SPACE] = 1;
    Input(2);
    EXPECT_EQ(pShip->GetPosition().x, 310.0f);
    EXPECT_EQ(Added<cBullet>().at(0)->GetPosition().x, 320.0f - Sprite(2)->w / 2)
        << "a shot leaves from where the ship stood before the step";
    key[KEY_SPACE] = 0;
    key[KEY_RIGHT] = 1;
    Input(3);
    EXPECT_EQ(pShip->GetPosition().x, 310.0f);

    key[KEY_LEFT] = 0;
    pShip->AddSuperspeed();
    Input(2);
    EXPECT_EQ(pShip->GetPosition().x, 325.0f);
    game.Pause();
    Input(10);
    EXPECT_EQ(pShip->GetPosition().x, 325.0f);
    EXPECT_EQ(pShip->SS(), 998) << "charges drain only while playing";

    game.Play();
    Input(100);
    EXPECT_EQ(pShip->GetPosition().x, 640.0f - Sprite(1)->w);
    key[KEY_RIGHT] = 0;
    key[KEY_LEFT] = 1;
    Input(200);
    EXPECT_EQ(pShip->GetPosition().x, 0.0f);
    EXPECT_EQ(pShip->GetPosition().y, 386.0f);
}

TEST_F(cPlayingTest, TheShipsBoxIsStrictAndOnlyTheShipUsesIt) {
    const int iHalf = Sprite(1)->w / 2;
    const float fTop = 480.0f - Sprite(1)->h;
    cGameObject probe;
    const auto Touches = [&](float x, float y) {
        probe.SetPosition(cVector(x, y, 0));
        return pShip->Collides(&probe, &game);
    };
    EXPECT_FALSE(Touches(320 - iHalf, fTop + 1) || Touches(320 + iHalf, fTop + 1));
    EXPECT_TRUE(Touches(321 - iHalf, fTop + 1) && Touches(319 + iHalf, fTop + 1));
    EXPECT_FALSE(Touches(320, fTop));
    EXPECT_TRUE(Touches(320, 480));
    EXPECT_FALSE(probe.Collides(pShip, &game)) << "the other way round it is the distance";
}
