// The shooter: its global objects and the two functions the engine calls,
// initialize() once before the message loop and run() once per frame.
//
// run() updates the world unless the game is paused, then always draws a
// whole frame. The game starts paused behind the intro picture; Space starts
// the fight, P pauses and resumes (tested as held, so holding P toggles every
// frame), and the end picture covers the frame from the 200th unpaused frame
// after the last enemy has died. The player's death never ends the game.
//
// The globals are declared here for tools and tests that look at the game's
// state (tarvo-replay prints it frame by frame).
#pragma once

#include "game/arena.h"
#include "game/enemy_ship.h"
#include "game/health.h"
#include "game/photons.h"
#include "game/player_ship.h"
#include "image/image.h"

constexpr int kEndPictureFrames = 200;

extern float viewX;
extern float viewY;
extern bool paused;
extern bool showIntro;
extern bool allEnemiesDead;
extern int endCounter;

extern Arena arena;
extern PlayerShip playerShip;
extern PhotonPool playerPhotons;
// Blue, green, yellow, with their photon pools in the same order.
extern EnemyShip enemies[3];
extern PhotonPool enemyPhotons[3];
extern HealthPickup healthPickup;
extern Image tilePicture;
extern Image healthBarGreen, healthBarYellow, healthBarRed, healthBarBlue;
extern Image introPicture;
extern Image endPicture;

// Puts the frame state and the random generator back to their values at
// program start, for tools and tests that start the game more than once in
// one process (initialize() sets the objects up again).
void ResetGameState();
