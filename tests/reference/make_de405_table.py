#!/usr/bin/python3
# Writes tests/reference/de405_table.txt, a second reference table of body
# positions for tests/host/ephemeris_reference_test.cpp: JPL's DE405, a
# numerical integration fitted to observations (its Moon good to metres, its
# inner planets to well under 0.01"), at the same 400 dates as
# ephemeris_table.txt, in the same layout.
# Run (Debian's python3 with python3-casacore and casacore-data-jpl-de405):
#   /usr/bin/python3 tests/reference/make_de405_table.py > tests/reference/de405_table.txt
import math

import numpy as np
import casacore.tables

TABLE = '/usr/share/casacore/data/ephemerides/DE405'
J2000_MJD = 51544.5
DATES = 400
SPAN_DAYS = 10957.5  # 2000-01-01.5 to 2030-01-01.5
GOLDEN = (math.sqrt(5) - 1) / 2
RECORD_DAYS = 32.0
ARCSEC = math.pi / (180 * 3600)

# Each body's coefficients in a record: first (counted from 1 over JPL's whole
# record, whose two leading dates this table leaves out), per coordinate and
# sub-interval, and sub-intervals per record.
LAYOUT = {'mercury': (3, 14, 4), 'venus': (171, 10, 2), 'emb': (231, 13, 2), 'mars': (309, 11, 1),
          'jupiter': (342, 8, 1), 'moon': (441, 13, 8), 'sun': (753, 11, 2)}

table = casacore.tables.table(TABLE, ack=False)
starts = table.getcol('MJD')  # each record's first date (MJD, TDB)
records = table.getcol('x')
earth_moon_mass_ratio = table.getkeywords()['EMRAT']


def position(body, mjd):
    """The body's place at mjd (km, ICRF): the Moon's about Earth, the others' about the barycentre."""
    i = np.searchsorted(starts, mjd, side='right') - 1
    first, count, parts = LAYOUT[body]
    part_days = RECORD_DAYS / parts
    k = min(int((mjd - starts[i]) // part_days), parts - 1)
    at = first - 3 + k * 3 * count
    coefficients = records[i][at:at + 3 * count].reshape(3, count)
    x = 2 * (mjd - starts[i] - k * part_days) / part_days - 1
    return np.polynomial.chebyshev.chebval(x, coefficients.T)


def rx(a):
    return np.array([[1, 0, 0], [0, math.cos(a), math.sin(a)], [0, -math.sin(a), math.cos(a)]])


def ry(a):
    return np.array([[math.cos(a), 0, -math.sin(a)], [0, 1, 0], [math.sin(a), 0, math.cos(a)]])


def rz(a):
    return np.array([[math.cos(a), math.sin(a), 0], [-math.sin(a), math.cos(a), 0], [0, 0, 1]])


# ICRF to the mean equator and equinox of J2000 (the IAU 2000 frame bias),
# then to the mean ecliptic by the IAU 2006 obliquity at J2000.
obliquity = 84381.406 * ARCSEC
bias = rx(0.0068192 * ARCSEC) @ ry(-0.041775 * ARCSEC * math.sin(obliquity)) @ rz(-0.0146 * ARCSEC)
to_ecliptic = rx(obliquity) @ bias

print('# Reference positions, JPL DE405 (U.S. Government material, not subject to copyright), '
      'mean ecliptic and equinox of J2000, km, geometric (no light time).')
print("# mjd_tt, then x y z of: Earth, Mars, Venus, Jupiter (about the Sun's centre), the Moon (about Earth's centre)")
for k in range(DATES):
    # The date as printed, so that each row is exact at its own date (TT;
    # DE405's TDB differs by under 2 ms).
    mjd = float('%.6f' % (J2000_MJD + SPAN_DAYS * ((0.5 + k * GOLDEN) % 1)))
    sun, moon = position('sun', mjd), position('moon', mjd)
    earth = position('emb', mjd) - moon / (1 + earth_moon_mass_ratio)
    bodies = [earth - sun, position('mars', mjd) - sun, position('venus', mjd) - sun,
              position('jupiter', mjd) - sun, moon]
    print('%.6f ' % mjd + ' '.join('%.4f' % c for body in bodies for c in to_ecliptic @ body))
