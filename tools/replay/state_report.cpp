#include "tools/replay/state_report.h"

#include <cstdio>

#include "game/game.h"

namespace {

class JsonWriter {
public:
    std::string text;

    void Key(const char* name) {
        Separate();
        text += '"';
        text += name;
        text += "\":";
        pendingComma = false;
    }
    void Float(float value) {
        Separate();
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(value));
        text += buffer;
    }
    void Int(int value) {
        Separate();
        text += std::to_string(value);
    }
    void Bool(bool value) {
        Separate();
        text += value ? "true" : "false";
    }
    void Open(char bracket) {
        Separate();
        text += bracket;
        pendingComma = false;
    }
    void Close(char bracket) {
        text += bracket;
        pendingComma = true;
    }

private:
    bool pendingComma = false;  // a value came last: the next one needs a comma
    void Separate() {
        if (pendingComma) text += ',';
        pendingComma = true;
    }
};

void Photons(JsonWriter& out, const char* name, const PhotonPool& pool) {
    out.Key(name);
    out.Open('[');
    for (int i = 0; i < pool.Count(); ++i) {
        const Photon& p = pool.Get(i);
        out.Open('[');
        out.Float(p.x);
        out.Float(p.y);
        out.Float(p.vx);
        out.Float(p.vy);
        out.Int(p.age);
        out.Close(']');
    }
    out.Close(']');
}

}  // namespace

std::string GameStateJson(int frame) {
    JsonWriter out;
    out.Open('{');
    out.Key("frame"), out.Int(frame);
    out.Key("paused"), out.Bool(paused);
    out.Key("showIntro"), out.Bool(showIntro);
    out.Key("allEnemiesDead"), out.Bool(allEnemiesDead);
    out.Key("endCounter"), out.Int(endCounter);
    out.Key("viewX"), out.Float(viewX);
    out.Key("viewY"), out.Float(viewY);

    const PlayerShip& p = playerShip;
    out.Key("player");
    out.Open('{');
    out.Key("x"), out.Float(p.x);
    out.Key("y"), out.Float(p.y);
    out.Key("vx"), out.Float(p.vx);
    out.Key("vy"), out.Float(p.vy);
    out.Key("angle"), out.Float(p.angle);
    out.Key("turnRate"), out.Float(p.turnRate);
    out.Key("health"), out.Int(p.health);
    out.Key("state"), out.Int(static_cast<int>(p.state));
    out.Key("frame"), out.Int(p.frame);
    out.Key("visible"), out.Bool(p.visible);
    out.Key("fireCounter"), out.Int(p.fireCounter);
    out.Key("waitCounter"), out.Int(p.waitCounter);
    out.Close('}');

    out.Key("enemies");
    out.Open('[');
    for (const EnemyShip& e : enemies) {
        out.Open('{');
        out.Key("colour"), out.Int(e.colour);
        out.Key("x"), out.Float(e.x);
        out.Key("y"), out.Float(e.y);
        out.Key("vx"), out.Float(e.vx);
        out.Key("vy"), out.Float(e.vy);
        out.Key("angle"), out.Float(e.angle);
        out.Key("health"), out.Int(e.health);
        out.Key("step"), out.Int(e.step);
        out.Key("legLength"), out.Int(e.legLength);
        out.Key("fireCounter"), out.Int(e.fireCounter);
        out.Key("hit"), out.Bool(e.hit);
        out.Key("dying"), out.Bool(e.dying);
        out.Key("visible"), out.Bool(e.visible);
        out.Key("frame"), out.Int(e.frame);
        out.Close('}');
    }
    out.Close(']');

    out.Key("photons");
    out.Open('{');
    Photons(out, "player", playerPhotons);
    Photons(out, "blue", enemyPhotons[0]);
    Photons(out, "green", enemyPhotons[1]);
    Photons(out, "yellow", enemyPhotons[2]);
    out.Close('}');

    out.Key("pickup");
    out.Open('{');
    out.Key("x"), out.Float(healthPickup.x);
    out.Key("y"), out.Float(healthPickup.y);
    out.Key("active"), out.Bool(healthPickup.active);
    out.Key("counter"), out.Int(healthPickup.counter);
    out.Close('}');
    out.Close('}');
    return out.text;
}
