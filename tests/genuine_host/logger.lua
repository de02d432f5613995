-- The flight recorder of scripts/test-genuine-host, run by the simulator's own
-- Lua interpreter (named in the scenario's environment block). It writes to
-- zolk-genuine.log in the simulator's folder:
--   R simt step tacc vessel rx ry rz vx vy vz level prop main mass thrust isp R11 .. R33
--     every @PERIOD@ s of simulated time and at each mark, per vessel: position
--     (m) and velocity (m/s) relative to Earth in the ecliptic frame, main
--     engines' level, propellant (kg) in all and in tank 0 (the main
--     engines' tank), mass (kg), the main engines' total
--     maximum thrust (N) and the first one's ISP (N*s/kg), and the rotation
--     matrix (vessel frame to ecliptic frame, row by row)
--   M simt label      a mark asked for by the test script
-- The test script steers it through zolk-genuine.cmd, which this recorder reads
-- each frame and deletes once done: "tacc X" sets the time acceleration,
-- "mark LABEL" writes a mark and a record, "mfd ID MODE" opens a display mode.
local out = io.open('zolk-genuine.log', 'w')
local earth = oapi.get_objhandle('Earth')
local names = {@VESSELS@}
local period = @PERIOD@

local function engines(v)
  local thrust, isp = 0, 0
  local count = v:get_groupthrustercount(THGROUP.MAIN)
  for i = 0, count - 1 do
    local th = v:get_groupthruster(THGROUP.MAIN, i)
    if th then
      thrust = thrust + v:get_thrustermax0(th)
      if i == 0 then isp = v:get_thrusterisp0(th) end
    end
  end
  return thrust, isp
end

local function record()
  local t = oapi.get_simtime()
  for _, name in ipairs(names) do
    local v = vessel.get_interface(name)
    if v then
      local p = v:get_relativepos(earth)
      local q = v:get_relativevel(earth)
      local R = v:get_rotationmatrix()
      local thrust, isp = engines(v)
      out:write(string.format(
        'R %.3f %.4f %g %s %.3f %.3f %.3f %.5f %.5f %.5f %.4f %.4f %.4f %.4f %.3f %.3f %.7f %.7f %.7f %.7f %.7f %.7f %.7f %.7f %.7f\n',
        t, oapi.get_simstep(), oapi.get_tacc(), name, p.x, p.y, p.z, q.x, q.y, q.z,
        v:get_thrustergrouplevel(THGROUP.MAIN), v:get_totalpropellantmass(),
        v:get_propellantmass(v:get_propellanthandle(0)), v:get_mass(), thrust, isp,
        R.m11, R.m12, R.m13, R.m21, R.m22, R.m23, R.m31, R.m32, R.m33))
    end
  end
  out:flush()
end

local function commands()
  local f = io.open('zolk-genuine.cmd', 'r')
  if not f then return end
  local text = f:read('*a')
  f:close()
  os.remove('zolk-genuine.cmd')
  for line in string.gmatch(text, '[^\r\n]+') do
    local word, rest = string.match(line, '^(%S+)%s*(.*)$')
    if word == 'tacc' then
      oapi.set_tacc(tonumber(rest))
    elseif word == 'mark' then
      out:write(string.format('M %.3f %s\n', oapi.get_simtime(), rest))
      record()
    elseif word == 'mfd' then
      local id, mode = string.match(rest, '^(%d+)%s+(%d+)$')
      oapi.open_mfd(tonumber(id), tonumber(mode))
    end
  end
  out:write(string.format('M %.3f done %s\n', oapi.get_simtime(), (string.gsub(text, '[\r\n]+', '; '))))
  out:flush()
end

record()
local nextRecord = oapi.get_simtime() + period
while true do
  proc.skip()
  commands()
  if oapi.get_simtime() >= nextRecord then
    record()
    while nextRecord <= oapi.get_simtime() do nextRecord = nextRecord + period end
  end
end
