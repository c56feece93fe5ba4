// SPDX-License-Identifier: MIT
// Parts shared by the craft pictures: metal plates, painted markings, glass,
// gun barrels, vents and lamps, all lit by the same sun.
#pragma once

#include "raster.h"

namespace pg {

Material metal(Rgb base, std::uint32_t seed, float grain = 0.07f);
Material glass(Rgb tint);

void plate(Canvas& c, const Sdf& s, const Material& m, float bevel, Vec2 tilt = {});
void body(Canvas& c, const Sdf& s, const Material& m, float radius, Vec2 tilt = {});

// Paint on a part: coloured like `m` but lit with the part's own bevel, so a
// marking follows the plate under it instead of looking like a new plate.
void decal(Canvas& c, const Sdf& part, const Sdf& mark, const Material& m, float bevel, Vec2 tilt = {});

// A glass dome or canopy with a bright glint towards the light.
void canopy(Canvas& c, const Sdf& s, Rgb tint, float radius, Vec2 tilt = {});

// A glowing lens: dark rim, hot centre and a halo.
void lamp(Canvas& c, Vec2 at, float r, Rgb colour, float halo = 2.5f);

// A gun barrel from a (breech) to b (muzzle).
void barrel(Canvas& c, Vec2 a, Vec2 b, float r, const Material& m);

// A louvred vent with a furnace glow between the slats; slats run across x.
void vent(Canvas& c, Vec2 centre, Vec2 half, int slats, Rgb heat);

// An engine nozzle seen from above with its exhaust flame pointing along dir.
void exhaust(Canvas& c, Vec2 at, float r, Vec2 dir, float flameLength, Rgb flame);

}  // namespace pg
