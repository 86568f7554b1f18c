#include "objects/cParticleEffect.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "MediaIds.h"
#include "core/Clock.h"
#include "core/cGameInstance.h"
#include "media/cBitmapDatabase.h"
#include "objects/Tuning.h"

namespace {

const int kFrameTicks = 100;
// Directions come in steps of 0.01 radian: 628 of them.
const int kDirections = 628;

} // namespace

void cParticle::Update() {
    const int iNow = iTime;
    const int iDt = iNow - iLastTime;
    iLastTime = iNow;
    cVector vGravity(0, Tuning::kParticleGravity, 0);
    vGravity *= static_cast<float>(iDt);
    vVelocity += vGravity;
    cVector vStep = vVelocity;
    vStep *= static_cast<float>(iDt);
    vPosition += vStep;
    // At most one frame passes per update, however long the gap.
    iFrameTime += iDt;
    if (iFrameTime > kFrameTicks - 1) {
        ++iFrame;
        iFrameTime -= kFrameTicks;
    }
    if (iFrame >= iFrames)
        bDead = true;
}

cParticleEffect::~cParticleEffect() {
    for (cParticle* pParticle : Particles)
        delete pParticle;
}

// Three numbers are drawn per particle, in this order: direction, speed, life.
void cParticleEffect::Init(int iMinFrames, int iMaxFrames, float fMinSpeed, float fMaxSpeed,
                           int iMinCount, int iMaxCount) {
    const int iCount = iMinCount + rand() % (iMaxCount - iMinCount);
    const int iSpeedRange = static_cast<int>(fMaxSpeed * 100 - fMinSpeed * 100);
    for (int i = 0; i < iCount; ++i) {
        cParticle* pParticle = new cParticle;
        const double dAngle = (rand() % kDirections) / 100.0;
        const float fSpeed = (rand() % iSpeedRange + fMinSpeed * 100) / 100;
        pParticle->vVelocity = cVector(static_cast<float>(std::cos(dAngle) * fSpeed),
                                       static_cast<float>(std::sin(dAngle) * fSpeed), 0);
        pParticle->iFrames = iMinFrames + rand() % (iMaxFrames - iMinFrames);
        pParticle->iLastTime = iTime;
        pParticle->iBitmap = kBitmapParticle;
        Particles.push_back(pParticle);
    }
}

void cParticleEffect::OnUpdate(int, cGameInstance*) {
    for (cParticle* pParticle : Particles)
        pParticle->Update();
    const auto itDead =
        std::stable_partition(Particles.begin(), Particles.end(),
                              [](const cParticle* pParticle) { return !pParticle->bDead; });
    for (auto it = itDead; it != Particles.end(); ++it)
        delete *it;
    Particles.erase(itDead, Particles.end());
    if (Particles.empty())
        Delete();
}

void cParticleEffect::OnDraw(BITMAP* pTarget, cGameInstance* pGame) {
    for (const cParticle* pParticle : Particles) {
        BITMAP* pSprite = pGame->pBitmaps->GetBitmap(pParticle->iBitmap);
        if (!pSprite)
            continue;
        const cVector vAt = pParticle->vPosition + vPosition;
        draw_sprite(pTarget, pSprite, static_cast<int>(vAt.x - pSprite->w / 2),
                    static_cast<int>(vAt.y - pSprite->h / 2));
    }
}
