#include "tools/generator/cSceneFile.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace brevonne {

std::uint8_t ColorByte(float v)
{
    if (v > 1.0f)
        v = 1.0f;
    if (!(v > 0.0f))
        return 0;
    return static_cast<std::uint8_t>(static_cast<int>(v * 255.0f) & 0xff);
}

sVec3 sSegment::Evaluate(float s) const
{
    float u = 1.0f - s;
    return start * (u * u * u) + startControl * (3.0f * s * u * u) + endControl * (3.0f * s * s * u) + end * (s * s * s);
}

sVec3 sScenePath::Evaluate(const std::vector<sSegment>& curve, float t)
{
    if (curve.empty())
        return sVec3();
    float u = t * static_cast<float>(curve.size());
    int i = std::min(static_cast<int>(u), static_cast<int>(curve.size()) - 1);
    if (i < 0)
        i = 0;
    return curve[static_cast<std::size_t>(i)].Evaluate(u - static_cast<float>(i));
}

namespace {

void Print(std::string& out, const char* fmt, ...)
{
    char buf[1024];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buf, sizeof(buf), fmt, args);
    va_end(args);
    out += buf;
}

double D(float v) { return static_cast<double>(v); }
double B(std::uint8_t v) { return static_cast<double>(static_cast<float>(v) / 255.0f); }

void PrintSegments(std::string& out, const std::vector<sSegment>& curve)
{
    for (const sSegment& s : curve) {
        Print(out, "\t\t\t%2.4f, %2.4f, %2.4f, %2.4f, %2.4f, %2.4f, ", D(s.start.x), D(s.start.y), D(s.start.z), D(s.startControl.x), D(s.startControl.y), D(s.startControl.z));
        Print(out, "%2.4f, %2.4f, %2.4f, %2.4f, %2.4f, %2.4f\n", D(s.end.x), D(s.end.y), D(s.end.z), D(s.endControl.x), D(s.endControl.y), D(s.endControl.z));
    }
}

void PrintPosition(std::string& out, const sVec3& p) { Print(out, "\t\tposition\t(%2.4f, %2.4f, %2.4f)\n", D(p.x), D(p.y), D(p.z)); }

void PrintLife(std::string& out, const sSceneEntities& e)
{
    for (const sButterfliesEntity& b : e.butterflies) {
        out += "\tbutterflies {\n";
        PrintPosition(out, b.position);
        Print(out, "\t\ttexture\t\"%s\"\n", b.texture.c_str());
        Print(out, "\t\tvelocity\t(%2.4f, %2.4f, %2.4f)\n", D(b.velocity.x), D(b.velocity.y), D(b.velocity.z));
        Print(out, "\t\tspeedVariation\t%2.4f\n", D(b.speedVariation));
        Print(out, "\t\tchangeThreshold\t%d\n", b.changeThreshold);
        Print(out, "\t\tflapSpeed\t%2.4f\n", D(b.flapSpeed));
        Print(out, "\t\tareaSize\t%2.4f\n", D(b.areaSize));
        out += "\t}\n";
    }
    for (const sBirdsEntity& b : e.birds) {
        out += "\tbirds {\n";
        PrintPosition(out, b.position);
        Print(out, "\t\ttexture\t\"%s\"\n", b.texture.c_str());
        Print(out, "\t\tcount\t%d\n", b.count);
        Print(out, "\t\tradius\t%2.4f\n", D(b.radius));
        Print(out, "\t\tspeed\t%2.4f\n", D(b.speed));
        Print(out, "\t\twingSpan\t%2.4f\n", D(b.wingSpan));
        Print(out, "\t\tflapSpeed\t%2.4f\n", D(b.flapSpeed));
        out += "\t}\n";
    }
}

} // namespace

std::string WriteSceneText(const sSceneDescription& scene)
{
    std::string out;
    const sSceneEnvironment& env = scene.environment;
    out += "environment {\n";
    if (env.fog) {
        out += "\tfog {\n";
        Print(out, "\t\tdensity\t%1.6f\n", D(env.fogDensity));
        Print(out, "\t\tcolor\t(%2.2f, %2.2f, %2.2f)\n", B(env.fogColor.r), B(env.fogColor.g), B(env.fogColor.b));
        out += "\t}\n\n";
    }
    if (!env.ambientSound.empty()) {
        out += "\tsounds {\n";
        Print(out, "\t\tambient\t\"%s\"\n", env.ambientSound.c_str());
        out += "\t}\n";
    }
    out += "}\n\n";

    if (!scene.paths.empty()) {
        out += "paths {\n";
        for (const sScenePath& p : scene.paths) {
            Print(out, "\tpath \"%s\" {\n", p.name.c_str());
            Print(out, "\t\tcameraSpeed\t%2.4f\n", D(p.cameraSpeed));
            out += "\t\tcamera {\n";
            PrintSegments(out, p.camera);
            out += "\t\t}\n";
            out += "\t\ttarget {\n";
            PrintSegments(out, p.target);
            out += "\t\t}\n";
            out += "\t}\n";
        }
        out += "}\n\n";
    }

    const sSceneEntities& e = scene.entities;
    const bool life = !e.butterflies.empty() || !e.birds.empty();
    if (life || !e.water.empty() || !e.lensFlares.empty() || !e.sounds.empty() || !e.skies.empty()) {
        out += "entities {\n";
        for (const sWaterEntity& w : e.water) {
            out += "\twater {\n";
            PrintPosition(out, w.position);
            Print(out, "\t\tcolor\t(%2.4f, %2.4f, %2.4f)\n", B(w.color.r), B(w.color.g), B(w.color.b));
            Print(out, "\t\tdensity\t%2.4f\n", D(w.density));
            Print(out, "\t\tlevel\t%2.4f\n", D(w.level));
            Print(out, "\t\tspeed\t%2.4f\n", D(w.speed));
            if (!w.foam.empty())
                Print(out, "\t\tfoam\t\"%s\"\n", w.foam.c_str());
            if (!w.surfMap.empty())
                Print(out, "\t\tsurf\t\"%s\"\n", w.surfMap.c_str());
            out += "\t}\n";
        }
        PrintLife(out, e);
        for (const sLensFlareEntity& l : e.lensFlares) {
            out += "\tlensFlare {\n";
            PrintPosition(out, l.position);
            Print(out, "\t\tboundToCamera\t%s\n", l.boundToCamera ? "true" : "false");
            for (std::size_t i = 0; i < l.flares.size(); ++i) {
                if (l.flares[i].texture.empty())
                    continue;
                Print(out, "\t\tflare %d {\n", static_cast<int>(i));
                Print(out, "\t\t\ttexture\t\"%s\"\n", l.flares[i].texture.c_str());
                Print(out, "\t\t\tsize\t(%2.2f, %2.2f)\n", D(l.flares[i].width), D(l.flares[i].height));
                out += "\t\t}\n";
            }
            out += "\t}\n";
        }
        for (const sSoundEntity& s : e.sounds) {
            if (s.source.empty())
                continue;
            out += "\tsound {\n";
            PrintPosition(out, s.position);
            Print(out, "\t\tsource\t\"%s\"\n", s.source.c_str());
            Print(out, "\t\tlooped\t%s\n", s.looped ? "true" : "false");
            Print(out, "\t\tvolume\t%2.4f\n", D(s.volume));
            Print(out, "\t\tpitch\t%2.4f\n", D(s.pitch));
            Print(out, "\t\trolloff\t%4.5f\n", D(s.rolloff));
            Print(out, "\t\tmaxDistance\t%4.5f\n", D(s.maxDistance));
            out += "\t}\n";
        }
        for (const sSkyEntity& s : e.skies) {
            out += "\tsky {\n";
            PrintPosition(out, s.position);
            Print(out, "\t\tyOffset\t%2.4f\n", D(s.yOffset));
            static const struct { const char* key; int face; } order[] = {{"left", 0}, {"right", 1}, {"front", 4}, {"back", 5}, {"top", 2}, {"bottom", 3}};
            for (const auto& o : order)
                if (!s.faces[static_cast<std::size_t>(o.face)].empty())
                    Print(out, "\t\t%s\t\"%s\"\n", o.key, s.faces[static_cast<std::size_t>(o.face)].c_str());
            if (!s.clouds.empty()) {
                Print(out, "\t\tclouds\t\"%s\"\n", s.clouds.c_str());
                Print(out, "\t\tcloudDrift\t(%2.4f, %2.4f)\n", D(s.cloudDriftU), D(s.cloudDriftV));
            }
            out += "\t}\n";
        }
        out += "}\n\n";
    }
    return out;
}

} // namespace brevonne
