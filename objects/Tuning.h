#pragma once

// The values of play, in one place: what a change of pace or balance would touch. Times are in
// hundredths of a second (iTime ticks), distances in pixels of the play field.
namespace Tuning {

// Player control, the values of the game's rules.
constexpr float kShipSpeed = 5.0f;    // per tick, before super speed
constexpr int kFireDelay = 8;         // least ticks between two shots
constexpr int kBulletSpeed = 4;       // per logic step, upwards
constexpr float kRechargeRate = 1.0f; // energy per tick, before the super charger
constexpr int kEnergyPerLevel = 80;   // the energy cap is the level times this
constexpr int kShotCost = 20;         // energy a shot takes, and needs
// What the two power-ups multiply, and how long a charge of either lasts.
constexpr float kSuperchargerFactor = 2.0f;
constexpr float kSuperspeedFactor = 1.5f;
constexpr int kPowerupTicks = 1000;

// The ship's top stands this far above the bottom of the field at the start of a game.
constexpr int kShipLift = 94;

// Added to the y velocity of a falling pie or power-up once per logic step, and to a particle's
// once per tick.
constexpr float kGravity = 0.0381f;
constexpr float kParticleGravity = 0.0281f;

// The level rises by one at each of these counts of monsters created: 1 to 6.
constexpr int kLevelStarts[] = {40, 100, 300, 500, 1000};
// Waves and monster steps come when the whole seconds since the last exceed this period, less the
// step for each level; a granted monster step is this base plus the level.
constexpr double kPeriodSeconds = 3.0;
constexpr double kPeriodStepPerLevel = 0.5;
constexpr int kMonsterStepBase = 60;

} // namespace Tuning
