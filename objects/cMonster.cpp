#include "objects/cMonster.h"

#include <cmath>
#include <cstdlib>
#include <typeinfo>

#include "core/cGameInstance.h"
#include "objects/cPie.h"
#include "objects/cPlayerShip.h"

namespace {

const float kCircleRadius = 10.0f;
// A granted step deepens the target; the monster glides there at target / this per step, so the
// deeper it is the faster it goes.
const float kGlideDivisor = 80.0f;

} // namespace

void cMonster::OnDraw(BITMAP* pTarget, cGameInstance* pGame) {
    BITMAP* pSprite = Sprite(pGame);
    if (!pSprite)
        return;
    draw_sprite(pTarget, pSprite,
                static_cast<int>(vPosition.x) + static_cast<int>(vOffset.x) - pSprite->w / 2,
                static_cast<int>(vPosition.y) + static_cast<int>(vOffset.y));
}

// Every monster asks for its step exactly once per update: the game counts the calls to close
// each step period. Several monsters may end the game in one step.
void cMonster::OnUpdate(int iTicks, cGameInstance* pGame) {
    Circle(iTicks);
    Sink(pGame);
    MaybeDropPie(pGame);
    if (pGame->DoCollide(this, typeid(cPlayerShip).name()))
        pGame->GameOver();
    if (vPosition.y > pGame->iFieldHeight) {
        Delete();
        pGame->GameOver();
    }
}

// With y pointing down, a falling angle turns the offset anticlockwise on the screen.
void cMonster::Circle(int iTicks) {
    fPhase -= iTicks * fPhaseSpeed;
    const double dPhase = fPhase;
    vOffset = cVector(static_cast<float>(kCircleRadius * std::cos(dPhase)),
                      static_cast<float>(kCircleRadius * std::sin(dPhase)), 0);
}

void cMonster::Sink(cGameInstance* pGame) {
    vTarget.y += pGame->DoMove();
    if (vTarget.y > vPosition.y)
        vPosition.y += vTarget.y / kGlideDivisor;
}

// One chance in 980 per step at level 1, rising to one in 880 at level 6. The pie leaves from the
// right edge of the sprite, half-way down, wherever the wobble has put the picture.
void cMonster::MaybeDropPie(cGameInstance* pGame) {
    if (rand() % (1000 - 20 * pGame->GetLevel()) != 1)
        return;
    BITMAP* pSprite = Sprite(pGame);
    const int iWidth = pSprite ? pSprite->w : 0;
    const int iHeight = pSprite ? pSprite->h : 0;
    cPie* pPie = new cPie;
    pPie->SetPosition(vPosition +
                      cVector(static_cast<float>(iWidth / 2), static_cast<float>(iHeight / 2), 0));
    pGame->AddObject(pPie);
}
