#!/usr/bin/env node
// Writes resources/geo/Country.txt and one city file per country from the city list
// of the npm package "city-timezones" (MIT licence).
//
//   mkdir /tmp/ctz && (cd /tmp/ctz && npm install city-timezones)
//   node scripts/make_locations.js /tmp/ctz/node_modules/city-timezones resources/geo
//
// Line formats (character positions counted from 1, UTF-8 text):
//   Country.txt   name padded to 49, code at 50-52
//   <code>.txt    name padded to 49, then DDMMSS N|S DDDMMSS W|E blank +HH T, then a
//                 blank and the IANA time-zone name ("Europe/Berlin") where one is known;
//                 readers of the fixed columns alone read only up to character 69
// The time zone is the standard (non-daylight) offset from UTC in tenths of an hour,
// taken from the system's time-zone database: the smaller of the January and July
// offsets, so that daylight saving time of either hemisphere is left out. Offsets
// that are not whole tenths (+05:45, +08:45, +12:45) go to the nearest tenth, halves
// away from zero (+05:45 gives +058).
'use strict';
const fs = require('fs');
const path = require('path');

const NAME_WIDTH = 49;
// Year whose January and July give the offsets; fixed so the output is reproducible.
const REFERENCE_YEAR = 2025;

// Germany keeps the code and the city line that the stored default settings name.
const CODE_OVERRIDES = { DEU: 'GMY' };
const COUNTRY_NAME_FIXES = { 'Vatican (Holy Sea)': 'Vatican (Holy See)' };
const FIXED_CITIES = {
  GMY: { replaces: 'Frankfurt', line: pad('Frankfurt/Main') + '500644N0084055E +010 Europe/Berlin' },
};

function chars(text) { return [...text]; }

function pad(name) {
  const c = chars(name);
  return c.length >= NAME_WIDTH ? c.slice(0, NAME_WIDTH).join('')
                                : name + ' '.repeat(NAME_WIDTH - c.length);
}

function cut(name) { return chars(name).slice(0, NAME_WIDTH).join('').trimEnd(); }

// Offset of zone at the given UTC instant, in minutes east of UTC.
function offsetMinutes(zone, date) {
  const text = new Intl.DateTimeFormat('en-US', { timeZone: zone, timeZoneName: 'longOffset' })
    .formatToParts(date).find((p) => p.type === 'timeZoneName').value;
  if (text === 'GMT') return 0;
  const m = /^GMT([+-])(\d{2}):(\d{2})$/.exec(text);
  if (!m) throw new Error(`unexpected offset text ${text} for ${zone}`);
  return (m[1] === '-' ? -1 : 1) * (Number(m[2]) * 60 + Number(m[3]));
}

function standardOffsetMinutes(zone) {
  return Math.min(offsetMinutes(zone, new Date(Date.UTC(REFERENCE_YEAR, 0, 15))),
                  offsetMinutes(zone, new Date(Date.UTC(REFERENCE_YEAR, 6, 15))));
}

// "+HHT": sign, two-digit hours, one digit of tenths.
function zoneColumns(minutes) {
  const tenths = Math.round(Math.abs(minutes) / 6);   // halves go away from zero
  const sign = minutes < 0 && tenths > 0 ? '-' : '+';
  return sign + String(Math.floor(tenths / 10)).padStart(2, '0') + String(tenths % 10);
}

function dms(value, degreeDigits) {
  const total = Math.round(Math.abs(value) * 3600);
  const d = Math.floor(total / 3600);
  const m = Math.floor((total % 3600) / 60);
  const s = total % 60;
  return String(d).padStart(degreeDigits, '0') + String(m).padStart(2, '0') +
         String(s).padStart(2, '0');
}

function cityLine(name, lat, lng, minutes, zoneName) {
  return pad(name) + dms(lat, 2) + (lat < 0 ? 'S' : 'N') + dms(lng, 3) + (lng < 0 ? 'W' : 'E') +
         ' ' + zoneColumns(minutes) + (zoneName ? ' ' + zoneName : '');
}

// A few records have no zone: they take the zone of the nearest city of the same country;
// where the country has none at all (the Antarctic stations) the nautical zone of the
// longitude is used, without a zone name.
function zoneNameFor(city, sameCountry) {
  if (city.timezone) return city.timezone;
  let best = null;
  let bestDistance = Infinity;
  for (const other of sameCountry) {
    if (!other.timezone) continue;
    const d = (other.lat - city.lat) ** 2 + (other.lng - city.lng) ** 2;
    if (d < bestDistance) { bestDistance = d; best = other; }
  }
  return best ? best.timezone : null;
}

function zoneFor(city, zoneName) {
  return zoneName ? standardOffsetMinutes(zoneName) : Math.round(city.lng / 15) * 60;
}

function byCodeUnits(a, b) { return a < b ? -1 : a > b ? 1 : 0; }

function main() {
  const [packageDir, outDir] = process.argv.slice(2);
  if (!packageDir || !outDir) {
    console.error('usage: make_locations.js <city-timezones package folder> <output folder>');
    process.exit(2);
  }
  const cities = require(path.resolve(packageDir)).cityMapping;
  const countries = new Map();   // code -> { name, cities: [] }
  for (const c of cities) {
    const code = CODE_OVERRIDES[c.iso3] || c.iso3;
    if (!/^[A-Z]{3}$/.test(code)) throw new Error(`bad country code ${code}`);
    if (!countries.has(code)) {
      countries.set(code, { name: COUNTRY_NAME_FIXES[c.country] || c.country, cities: [] });
    }
    countries.get(code).cities.push(c);
  }

  fs.mkdirSync(outDir, { recursive: true });
  for (const f of fs.readdirSync(outDir)) {
    if (f.endsWith('.txt')) fs.unlinkSync(path.join(outDir, f));
  }

  const countryLines = [];
  let cityCount = 0;
  let dropped = 0;
  for (const [code, country] of countries) {
    countryLines.push(pad(country.name) + code);
    const fixed = FIXED_CITIES[code];
    // Same name twice in one country: name the province; a name that is still taken
    // keeps only its most populous record.
    const counts = new Map();
    for (const c of country.cities) counts.set(cut(c.city), (counts.get(cut(c.city)) || 0) + 1);
    const byName = new Map();
    const ordered = [...country.cities].sort((a, b) => b.pop - a.pop || a.lat - b.lat || a.lng - b.lng);
    for (const c of ordered) {
      if (fixed && c.city === fixed.replaces) continue;
      let name = cut(c.city);
      if (counts.get(name) > 1 && c.province) name = cut(`${c.city} (${c.province})`);
      if (byName.has(name)) { dropped++; continue; }
      const zoneName = zoneNameFor(c, country.cities);
      byName.set(name, cityLine(name, c.lat, c.lng, zoneFor(c, zoneName), zoneName));
    }
    const lines = [...byName.values()];
    if (fixed) lines.push(fixed.line);
    lines.sort(byCodeUnits);
    cityCount += lines.length;
    fs.writeFileSync(path.join(outDir, `${code}.txt`), lines.join('\n') + '\n');
  }
  countryLines.sort(byCodeUnits);
  fs.writeFileSync(path.join(outDir, 'Country.txt'), countryLines.join('\n') + '\n');
  console.log(`${countryLines.length} countries, ${cityCount} cities, ${dropped} duplicates dropped`);
}

main();
