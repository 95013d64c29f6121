// The three charts beside the report, drawn by Chart.js: the shares of the best individual
// and of the optimum per project, the convergence of the run (best and mean profit by
// step), and each project's profit curve with both shares marked on it.

import {
  Chart,
  BarController,
  BarElement,
  CategoryScale,
  Legend,
  LineController,
  LineElement,
  LinearScale,
  PointElement,
  ScatterController,
  Tooltip,
} from 'chart.js';
import { LEVELS, PROJECTS, levelLabel } from './table.js';
import { profitAt } from './report.js';

Chart.register(BarController, BarElement, CategoryScale, Legend, LineController, LineElement, LinearScale, PointElement, ScatterController, Tooltip);

const FOUND = '#1f5fa8';
const OPTIMUM = '#c0561b';
const MEAN = '#5b8c3a';

// Still pictures: a chart is drawn once per run, and the screenshot sees its final state.
const COMMON = { animation: false, responsive: true, maintainAspectRatio: false };

const projectNames = Array.from({ length: PROJECTS }, (_, p) => `Project ${p + 1}`);

function replace(canvas, config) {
  Chart.getChart(canvas)?.destroy();
  return new Chart(canvas, config);
}

export function drawShares(canvas, found, optimum) {
  const datasets = [];
  if (found) datasets.push({ label: 'Best found', data: found, backgroundColor: FOUND });
  if (optimum) datasets.push({ label: 'Exact optimum', data: optimum, backgroundColor: OPTIMUM });
  return replace(canvas, {
    type: 'bar',
    data: { labels: projectNames, datasets },
    options: { ...COMMON, scales: { y: { beginAtZero: true, title: { display: true, text: 'share of the budget' } } } },
  });
}

export function drawConvergence(canvas, trace) {
  const points = (values) => trace.steps.map((step, i) => ({ x: step, y: values[i] }));
  return replace(canvas, {
    type: 'line',
    data: {
      datasets: [
        { label: 'Best profit', data: points(trace.best), borderColor: FOUND, backgroundColor: FOUND, pointRadius: 0, borderWidth: 2 },
        { label: 'Mean profit', data: points(trace.mean), borderColor: MEAN, backgroundColor: MEAN, pointRadius: 0, borderWidth: 1.5 },
      ],
    },
    options: {
      ...COMMON,
      parsing: false,
      scales: { x: { type: 'linear', title: { display: true, text: 'step' } }, y: { title: { display: true, text: 'profit' } } },
    },
  });
}

// levels: the project's 10 profits as numbers; found, optimum: its shares (or null).
// The legend is the heading above the eight curves.
export function drawProfitCurve(canvas, project, levels, found, optimum) {
  const curve = levels.map((profit, level) => ({ x: level / (LEVELS - 1), y: profit }));
  // The optimum's triangle is drawn hollow and larger, so that a share found on the
  // optimum shows both.
  const marker = (label, share, color, style, radius, fill) => ({
    type: 'scatter',
    label,
    data: share === null ? [] : [{ x: share, y: profitAt(levels, share) }],
    backgroundColor: fill,
    borderColor: color,
    borderWidth: 2,
    pointStyle: style,
    pointRadius: radius,
  });
  return replace(canvas, {
    type: 'line',
    data: {
      datasets: [
        { label: 'Profit', data: curve, borderColor: '#555', backgroundColor: '#555', pointRadius: 2, borderWidth: 1.5 },
        marker('Best found', found, FOUND, 'circle', 5, FOUND),
        marker('Exact optimum', optimum, OPTIMUM, 'triangle', 9, 'rgba(0, 0, 0, 0)'),
      ],
    },
    options: {
      ...COMMON,
      parsing: false,
      plugins: { legend: { display: false } },
      scales: {
        x: {
          type: 'linear',
          min: 0,
          max: 1,
          ticks: { stepSize: 1 / 9, callback: (value) => levelLabel(Math.round(value * 9)) },
          title: { display: true, text: `share of project ${project + 1}` },
        },
        y: { title: { display: true, text: 'profit' } },
      },
    },
  });
}

// For the page's tests: the number of drawn elements per dataset of a chart.
export function drawnPoints(canvas) {
  const chart = Chart.getChart(canvas);
  if (!chart) return null;
  return chart.data.datasets.map((_, i) => chart.getDatasetMeta(i).data.length);
}

// The frontier: the best profit for each part of the budget, against the amount when the
// budget is given in money, else against the share; gaps where the bounds leave none.
export function drawFrontier(canvas, frontier) {
  const xs = frontier.amounts ?? frontier.shares;
  return replace(canvas, {
    type: 'line',
    data: {
      datasets: [{
        label: 'Best profit',
        data: xs.map((x, i) => ({ x, y: frontier.profits[i] })),
        borderColor: OPTIMUM,
        backgroundColor: OPTIMUM,
        pointRadius: 3,
        spanGaps: false,
      }],
    },
    options: {
      ...COMMON,
      parsing: false,
      plugins: { legend: { display: false } },
      scales: {
        x: frontier.amounts
          ? { type: 'linear', title: { display: true, text: 'amount spent' } }
          : { type: 'linear', min: 0, max: 1, ticks: { stepSize: 1 / 9, callback: (v) => levelLabel(Math.round(v * 9)) }, title: { display: true, text: 'part of the budget spent' } },
        y: { title: { display: true, text: 'best profit' } },
      },
    },
  });
}
