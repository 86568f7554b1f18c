#include "objects/cBullet.h"
#include "objects/cMonster.h"
#include "objects/cParticleEffect.h"
#include "objects/cPie.h"
#include "objects/cPowerup.h"
#include "support/GameTest.h"

namespace {

// Pixels where the object's drawing differs from the sprite's drawn with its top-left corner at
// (x, y), or from nothing when there is no sprite.
int Misdrawn(cGameInstance& game, cGameObject* pObject, BITMAP* pSprite, int x, int y) {
    BITMAP* pDrawn = create_bitmap(640, 480);
    BITMAP* pExpected = create_bitmap(640, 480);
    clear_to_color(pDrawn, bitmap_mask_color(pDrawn));
    clear_to_color(pExpected, bitmap_mask_color(pDrawn));
    pObject->Draw(pDrawn, &game);
    if (pSprite)
        draw_sprite(pExpected, pSprite, x, y);
    const int iWrong = DifferentPixels(pDrawn, pExpected);
    destroy_bitmap(pDrawn);
    destroy_bitmap(pExpected);
    return iWrong;
}

// Paints a square in the mask colour at the top-left corner of the frame.
class cMaskSquare : public cGameObject {
    void OnDraw(BITMAP* pTarget, cGameInstance*) override {
        rectfill(pTarget, 0, 0, 9, 9, bitmap_mask_color(pTarget));
    }
};

} // namespace

// The screen shows the frame pixel for pixel, even the mask colour, or enlarged with every pixel a
// square. Compared with the screen, a frame that the screen lost is shown again; scaled, a frame
// like the last one shown is not copied again.
TEST_F(cGameTest, AFrameReachesTheScreenWholeAndEnlarged) {
    Join(new cMaskSquare, 0, 0);
    for (int iScale : {1, 2})
        for (bool bAgain : {false, true}) {
            game.iScale = iScale;
            clear_to_color(screen, makecol(0, 0, 255));
            game.DoFrame();
            int iWrong = 0;
            for (int y = 0; y < 480; ++y)
                for (int x = 0; x < 640; ++x)
                    iWrong +=
                        getpixel(screen, x, y) != getpixel(game.pBuffer, x / iScale, y / iScale);
            EXPECT_EQ(iWrong == 0, iScale == 1 || !bAgain) << "scale " << iScale;
        }
}

// Coordinates become pixels by truncation toward zero; whether the halves of the sprite come off
// before or after that differs from class to class.
TEST_F(cPlayingTest, EachKindPlacesItsSpriteByItsOwnPoint) {
    cBullet* pBullet = Join(new cBullet, -0.7f, 10.9f);
    pBullet->SetBitmap(2);
    EXPECT_EQ(Misdrawn(game, pBullet, Sprite(2), 0, 10), 0);
    pShip->SetPosition(cVector(0.9f, 386.5f, 0));
    EXPECT_EQ(Misdrawn(game, pShip, Sprite(1), -(Sprite(1)->w / 2), 386), 0);
    cMonster* pMonster = Join(new cMonster, 106.6f, 50.5f);
    pMonster->SetBitmap(9);
    pMonster->vOffset = cVector(-3.7f, 2.9f, 0);
    EXPECT_EQ(Misdrawn(game, pMonster, Sprite(9), 103 - Sprite(9)->w / 2, 52), 0);

    cPie* pPie = Join(new cPie, Sprite(5)->w / 2 - 0.5f, Sprite(5)->h / 2 + 20.5f);
    EXPECT_EQ(Misdrawn(game, pPie, Sprite(5), 0, 20), 0);
    cPowerup* pPowerup = Join(new cPowerupSS, Sprite(11)->w / 2 - 0.5f, Sprite(11)->h / 2 + 20.5f);
    EXPECT_EQ(Misdrawn(game, pPowerup, Sprite(11), -1, 20), 0);
    cParticleEffect* pEffect = Join(new cParticleEffect, 100.5f, 50);
    pEffect->Particles.push_back(new cParticle);
    pEffect->Particles[0]->iBitmap = 4;
    pEffect->Particles[0]->vPosition = cVector(-3.2f, 4.6f, 0);
    EXPECT_EQ(Misdrawn(game, pEffect, Sprite(4), static_cast<int>(97.3f - Sprite(4)->w / 2),
                       static_cast<int>(54.6f - Sprite(4)->h / 2)),
              0);

    // Without its sprite an object draws nothing, and does not fail.
    pEffect->Particles[0]->iBitmap = 999;
    for (cGameObject* pObject : std::vector<cGameObject*>{pShip, pMonster, pPowerup, pEffect}) {
        pObject->SetBitmap(999);
        EXPECT_EQ(Misdrawn(game, pObject, nullptr, 0, 0), 0);
    }
}
