#pragma once

#include <vector>

#include "objects/cGameObject.h"

// One spark of an explosion, running on the real-time clock. Its position is relative to the
// effect that holds it and is the centre of its sprite.
class cParticle {
public:
    // Advances the particle by the iTime ticks since its last update.
    void Update();

    int iLastTime = 0;
    int iFrame = 0;
    // Frames of life; a frame lasts 100 iTime ticks.
    int iFrames = 0;
    int iFrameTime = 0;
    cVector vPosition{0, 0, 0};
    // Pixels per iTime tick.
    cVector vVelocity{0, 0, 0};
    int iBitmap = 0;
    bool bDead = false;
};

// A burst of particles flung out from the effect's position, falling under gravity. The effect
// marks itself deleted once its last particle has died.
class cParticleEffect : public cGameObject {
public:
    cParticleEffect() = default;
    ~cParticleEffect() override;

    // Fills the effect with minCount to maxCount - 1 particles flying out in every direction at
    // minSpeed up to maxSpeed pixels per tick, each living minFrames to maxFrames - 1 frames. Each
    // range must be at least one wide.
    void Init(int iMinFrames, int iMaxFrames, float fMinSpeed, float fMaxSpeed, int iMinCount,
              int iMaxCount);

    // The living particles, owned, in creation order.
    std::vector<cParticle*> Particles;

protected:
    void OnDraw(BITMAP* pTarget, cGameInstance* pGame) override;
    void OnUpdate(int iTicks, cGameInstance* pGame) override;
};
