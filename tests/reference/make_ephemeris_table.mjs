// Writes the reference table of body positions that tests/host/ephemeris_reference_test.cpp
// reads: Astronomy Engine (VSOP87 planets, the Moon from its own lunar theory), an
// ephemeris independent of the host's, at 400 dates spread over 2000-2030.
// Run: cd tests/reference && npm ci && npm run table
import * as Astronomy from 'astronomy-engine';

const J2000_MJD = 51544.5;
const DATES = 400;
const SPAN_DAYS = 10957.5;  // 2000-01-01.5 to 2030-01-01.5
const GOLDEN = (Math.sqrt(5) - 1) / 2;
const KM_PER_AU = 149597870.7;

// The host's frame is the mean ecliptic and equinox of J2000; Astronomy Engine's
// vectors are on the J2000 mean equator (au).
const toEcliptic = Astronomy.Rotation_EQJ_ECL();
const km = (v) => {
  const e = Astronomy.RotateVector(toEcliptic, v);
  return [e.x, e.y, e.z].map((c) => (c * KM_PER_AU).toFixed(4));
};

console.log('# Reference positions, Astronomy Engine ' +
            '2.1.19, mean ecliptic and equinox of J2000, km, geometric (no light time).');
console.log('# mjd_tt, then x y z of: Earth, Mars, Venus, Jupiter (about the Sun\'s centre), the Moon (about Earth\'s centre)');
for (let k = 0; k < DATES; ++k) {
  // A low-discrepancy spread, so that the dates fall on every phase of month and year.
  const mjd = J2000_MJD + SPAN_DAYS * ((0.5 + k * GOLDEN) % 1);
  const time = Astronomy.AstroTime.FromTerrestrialTime(mjd - J2000_MJD);
  const columns = [mjd.toFixed(6)];
  for (const body of [Astronomy.Body.Earth, Astronomy.Body.Mars, Astronomy.Body.Venus, Astronomy.Body.Jupiter])
    columns.push(...km(Astronomy.HelioVector(body, time)));
  columns.push(...km(Astronomy.GeoMoon(time)));
  console.log(columns.join(' '));
}
